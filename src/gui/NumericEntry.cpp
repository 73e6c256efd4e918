#include "gui/NumericEntry.h"

#include "gui/Widgets.h"
#include "link/Interfaces.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vx::gui {
namespace {

constexpr double kWaitStep = 0.02;

}  // namespace

NumericEntry::NumericEntry(const EntryPanels &panels, Clock &clock, QObject *parent)
    : QObject(parent), m_panels(panels), m_clock(clock)
{
    m_panels.text10->installEventFilter(this);
    if (m_panels.label17)
        m_panels.label17->installEventFilter(this);
    connect(m_panels.ssCommand11[0], &QPushButton::clicked, this, [this] { ok(); });
    connect(m_panels.ssCommand11[1], &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_panels.text10, &QLineEdit::textChanged, this, [this] { reshape(); });
}

void NumericEntry::reshape()
{
    if (!m_shape)
        return;
    QLineEdit *field = m_panels.text10;
    const QString shaped = m_shape(field->text());
    if (shaped == field->text())
        return;
    const int cursor = field->cursorPosition();
    field->setText(shaped);  // comes back here once, already shaped
    field->setCursorPosition(qMin(cursor, int(shaped.size())));
}

bool NumericEntry::isOpen() const { return !m_panels.entry->isHidden(); }

void NumericEntry::ok() { m_panels.entry->hide(); }

void NumericEntry::cancel()
{
    m_panels.text10->clear();
    m_panels.entry->hide();
}

QString NumericEntry::ask(const QString &prompt, const QString &text, const std::function<bool()> &abandon,
                         const Shape &shape)
{
    m_shape = shape;
    m_panels.label18->setText(prompt);
    m_panels.text10->setText(text);
    reshape();
    m_panels.entry->show();
    m_panels.entry->raise();
    m_panels.text10->setFocus();
    m_panels.text10->selectAll();
    while (isOpen()) {
        if (abandon && abandon()) {
            cancel();
            break;
        }
        m_clock.idle(kWaitStep, true);
    }
    reshape();
    m_shape = nullptr;
    return m_panels.text10->text();
}

bool NumericEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panels.label17 && event->type() == QEvent::MouseButtonRelease) {
        cancel();
        return true;
    }
    // Back into the field with a click: its text selected, as when the panel opened (the
    // field gets the keys as the button goes down, before it sees the press).
    if (watched == m_panels.text10 && event->type() == QEvent::FocusIn
        && static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason
        && (QGuiApplication::mouseButtons() & Qt::LeftButton))
        m_selectOnPress = true;
    if (watched == m_panels.text10 && event->type() == QEvent::MouseButtonPress && m_selectOnPress) {
        m_selectOnPress = false;
        m_panels.text10->selectAll();
        return true;
    }
    if (watched == m_panels.text10 && event->type() == QEvent::KeyPress)
        return filterKey(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}

bool NumericEntry::filterKey(QKeyEvent *key)
{
    QLineEdit *field = m_panels.text10;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ok();
        return true;
    case Qt::Key_Backspace:
    // Moving about the field changes nothing it holds.
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return false;
    default:
        break;
    }
    const QString typed = key->text();
    if (typed.size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return true;
    const QChar c = typed.at(0);
    if (c.isDigit() && c.unicode() < 128)
        return false;
    if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
        // One decimal point, always written "."; a point about to be typed over counts as gone.
        QString remaining = field->text();
        if (field->hasSelectedText())
            remaining.remove(field->selectionStart(), field->selectedText().size());
        if (!remaining.contains(QLatin1Char('.')))
            field->insert(QStringLiteral("."));
    }
    return true;
}

}  // namespace vx::gui
