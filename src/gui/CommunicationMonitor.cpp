#include "gui/CommunicationMonitor.h"

#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <QBrush>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vx::gui {

namespace {

constexpr int RegisterRole = Qt::UserRole + 1;  // the line's register, -1 for none

}  // namespace

CommunicationMonitor::CommunicationMonitor(Link &link, const TextService &texts, Operator &op, QWidget *parent)
    : QDockWidget(parent), m_link(link), m_texts(texts), m_op(op)
{
    setObjectName(QStringLiteral("CommunicationMonitor"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *body = new QWidget(this);
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);
    auto *row = new QHBoxLayout;

    m_pause = new QPushButton(body);
    m_pause->setObjectName(QStringLiteral("MonitorPause"));
    m_pause->setCheckable(true);
    m_clear = new QPushButton(body);
    m_clear->setObjectName(QStringLiteral("MonitorClear"));
    m_registerLabel = new QLabel(body);
    m_register = new QSpinBox(body);
    m_register->setObjectName(QStringLiteral("MonitorRegister"));
    m_register->setRange(-1, 65535);
    m_register->setValue(-1);
    m_registerLabel->setBuddy(m_register);
    m_save = new QPushButton(body);
    m_save->setObjectName(QStringLiteral("MonitorSave"));

    row->addWidget(m_pause);
    row->addWidget(m_clear);
    row->addSpacing(12);
    row->addWidget(m_registerLabel);
    row->addWidget(m_register);
    row->addStretch(1);
    row->addWidget(m_save);
    column->addLayout(row);

    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("MonitorLines"));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    column->addWidget(m_list, 1);
    setWidget(body);
    applyTexts(texts);

    connect(m_clear, &QPushButton::clicked, this, [this] { clear(); });
    connect(m_register, &QSpinBox::valueChanged, this, [this](int reg) { setRegisterFilter(reg); });
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });

    chooseSavePath = [this] {
        return QFileDialog::getSaveFileName(this, m_texts.builtIn(BuiltIn::MonitorSave),
                                            QStringLiteral("Traffic.txt"),
                                            m_texts.builtIn(BuiltIn::MonitorTextFiles));
    };
}

CommunicationMonitor::~CommunicationMonitor() { stopListening(); }

void CommunicationMonitor::applyTexts(const TextService &texts)
{
    setWindowTitle(texts.builtIn(BuiltIn::MonitorTitle));
    m_pause->setText(texts.builtIn(BuiltIn::MonitorPause));
    m_clear->setText(texts.builtIn(BuiltIn::MonitorClear));
    m_registerLabel->setText(texts.builtIn(BuiltIn::MonitorRegister));
    m_register->setSpecialValueText(texts.builtIn(BuiltIn::MonitorAllRegisters));
    m_register->setToolTip(texts.builtIn(BuiltIn::MonitorRegisterTip));
    m_save->setText(texts.builtIn(BuiltIn::MonitorSave));
    m_list->setToolTip(texts.builtIn(BuiltIn::MonitorLoggedTip));
}

void CommunicationMonitor::open()
{
    if (!m_listening) {
        m_link.addTrafficListener(this);
        m_listening = true;
    }
    show();
    raise();
}

void CommunicationMonitor::stopListening()
{
    if (!m_listening)
        return;
    m_link.removeTrafficListener(this);
    m_listening = false;
}

void CommunicationMonitor::closeEvent(QCloseEvent *event)
{
    stopListening();
    QDockWidget::closeEvent(event);
}

void CommunicationMonitor::traffic(const TrafficEvent &event)
{
    if (paused())
        return;
    auto *item = new QListWidgetItem(FormatTrafficLine(event));
    const int reg = event.reg ? *event.reg : -1;
    item->setData(RegisterRole, reg);
    if (event.direction == TrafficDirection::Log)
        item->setForeground(QBrush(event.logged ? QColor(0x80, 0x40, 0x00) : QColor(0xB0, 0x00, 0x00)));
    item->setHidden(m_filter >= 0 && reg != m_filter);
    // The list follows the newest line unless the user has scrolled up to read.
    const QScrollBar *bar = m_list->verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    // Kept bounded: the oldest lines go first.
    while (m_list->count() >= MaxLines)
        delete m_list->takeItem(0);
    m_list->addItem(item);
    if (follow && !item->isHidden() && m_list->isVisible())
        m_list->scrollToBottom();
}

bool CommunicationMonitor::paused() const { return m_pause->isChecked(); }

void CommunicationMonitor::setPaused(bool paused) { m_pause->setChecked(paused); }

void CommunicationMonitor::clear() { m_list->clear(); }

void CommunicationMonitor::setRegisterFilter(int reg)
{
    m_filter = reg < 0 ? -1 : reg;
    if (m_register->value() != m_filter)
        m_register->setValue(m_filter);  // comes back here once, with the same value
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *item = m_list->item(i);
        item->setHidden(m_filter >= 0 && item->data(RegisterRole).toInt() != m_filter);
    }
}

QStringList CommunicationMonitor::shownLines() const
{
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i)
        if (!m_list->item(i)->isHidden())
            lines << m_list->item(i)->text();
    return lines;
}

int CommunicationMonitor::lineCount() const { return m_list->count(); }

bool CommunicationMonitor::saveTo(const QString &path)
{
    QByteArray bytes;
    for (const QString &line : shownLines())
        bytes += line.toUtf8() + '\n';
    QString why;
    if (WriteFileSafely(path, bytes, &why))
        return true;
    m_op.message(m_texts.builtIn(BuiltIn::MonitorNotSaved).arg(QDir::toNativeSeparators(path), why),
                 Icon::Critical);
    return false;
}

void CommunicationMonitor::save()
{
    const QString path = chooseSavePath ? chooseSavePath() : QString();
    if (!path.isEmpty())
        saveTo(path);
}

}  // namespace vx::gui
