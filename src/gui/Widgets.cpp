#include "gui/Widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QGraphicsDropShadowEffect>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVBoxLayout>

namespace vx::gui {

// ---- Panel ----

Panel::Panel(const QString &objectName, const QString &caption, QWidget *parent) : QFrame(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);

    m_caption = new QLabel(caption, this);
    m_caption->setVisible(!caption.isEmpty());
    m_caption->setObjectName(objectName + QStringLiteral("_caption"));
    m_caption->setStyleSheet(QStringLiteral(
        "QLabel { color: white; font-weight: bold; padding: 3px 6px;"
        " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f3f73, stop:1 #4a78b8); }"));
    layout->addWidget(m_caption);

    m_body = new QWidget(this);
    m_body->setObjectName(objectName + QStringLiteral("_body"));
    layout->addWidget(m_body, 1);
}

QString Panel::caption() const { return m_caption->text(); }
void Panel::setCaption(const QString &caption)
{
    // A panel without caption has no caption strip.
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
}

void MakeFloating(Panel *panel, QSize size)
{
    panel->setProperty("floating", true);
    auto *shadow = new QGraphicsDropShadowEffect(panel);
    shadow->setBlurRadius(18);
    shadow->setOffset(3, 4);
    shadow->setColor(QColor(0, 0, 0, 110));
    panel->setGraphicsEffect(shadow);
    panel->setFixedSize(size);
    panel->hide();
}

// ---- Lamp ----

Lamp::Lamp(const QString &objectName, QColor colour, QWidget *parent)
    : QWidget(parent), m_colour(colour)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(3, 3, -3, -3);

    // Bezel.
    QLinearGradient bezel(r.topLeft(), r.bottomRight());
    bezel.setColorAt(0, QColor(0xe8, 0xe8, 0xe8));
    bezel.setColorAt(1, QColor(0x55, 0x55, 0x55));
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
    p.setBrush(bezel);
    p.drawEllipse(r);

    // Glass.
    const QRectF glass = r.adjusted(5, 5, -5, -5);
    QRadialGradient g(glass.center() - QPointF(glass.width() / 5, glass.height() / 5), glass.width() * 0.7);
    g.setColorAt(0, m_colour.lighter(170));
    g.setColorAt(0.45, m_colour);
    g.setColorAt(1, m_colour.darker(190));
    p.setPen(QPen(m_colour.darker(250), 1));
    p.setBrush(g);
    p.drawEllipse(glass);

    // Highlight.
    QRectF shine(glass.left() + glass.width() * 0.22, glass.top() + glass.height() * 0.12,
                 glass.width() * 0.4, glass.height() * 0.28);
    QRadialGradient s(shine.center(), shine.width() / 2);
    s.setColorAt(0, QColor(255, 255, 255, 200));
    s.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(s);
    p.drawEllipse(shine);
}

void Lamp::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

// ---- Brand marks ----

QPixmap DrawHalvernLogo(QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = size.height();
    const QRectF badge(2, 2, h - 4, h - 4);
    QLinearGradient g(badge.topLeft(), badge.bottomRight());
    g.setColorAt(0, QColor(0xc6, 0x28, 0x28));
    g.setColorAt(1, QColor(0x7f, 0x0e, 0x0e));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(badge, h / 6, h / 6);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(int(h * 0.62));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, QStringLiteral("H"));
    f.setPixelSize(int(h * 0.42));
    f.setLetterSpacing(QFont::PercentageSpacing, 115);
    p.setFont(f);
    p.setPen(QColor(0x7f, 0x0e, 0x0e));
    p.drawText(QRectF(h + 4, 0, size.width() - h - 4, h), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("HALVERN"));
    return pm;
}

QPixmap DrawNeutralMark(QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = size.height();
    // A platform scale: a pan on a column over a base, beside the word mark.
    const QRectF icon(2, 2, h - 4, h - 4);
    QPen pen(QColor(0x1f, 0x3f, 0x73), h / 14.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal cx = icon.center().x();
    p.drawLine(QPointF(icon.left() + icon.width() * 0.15, icon.top() + icon.height() * 0.28),
               QPointF(icon.right() - icon.width() * 0.15, icon.top() + icon.height() * 0.28));
    p.drawLine(QPointF(cx, icon.top() + icon.height() * 0.28), QPointF(cx, icon.bottom() - icon.height() * 0.15));
    p.drawLine(QPointF(icon.left() + icon.width() * 0.25, icon.bottom() - icon.height() * 0.12),
               QPointF(icon.right() - icon.width() * 0.25, icon.bottom() - icon.height() * 0.12));
    p.setBrush(QColor(0x4a, 0x78, 0xb8));
    p.drawRect(QRectF(cx - icon.width() * 0.2, icon.top() + icon.height() * 0.48, icon.width() * 0.4,
                      icon.height() * 0.22));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(int(h * 0.42));
    p.setFont(f);
    p.setPen(QColor(0x1f, 0x3f, 0x73));
    p.drawText(QRectF(h + 4, 0, size.width() - h - 4, h), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("VEXTORA"));
    return pm;
}

// ---- Captions ----

void SetCaption(QObject *control, const QString &text)
{
    if (auto *menu = qobject_cast<QMenu *>(control))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setText(text);
    else if (auto *panel = qobject_cast<Panel *>(control))
        panel->setCaption(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setWindowTitle(text);
}

QString CaptionOf(const QObject *control)
{
    if (auto *menu = qobject_cast<const QMenu *>(control))
        return menu->title();
    if (auto *action = qobject_cast<const QAction *>(control))
        return action->text();
    if (auto *panel = qobject_cast<const Panel *>(control))
        return panel->caption();
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *group = qobject_cast<const QGroupBox *>(control))
        return group->title();
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *widget = qobject_cast<const QWidget *>(control))
        return widget->windowTitle();
    return {};
}

void SetToolTip(QObject *control, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setToolTip(text);
    else if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setToolTip(text);
}

// ---- Grid areas and the light ----

QFrame *MakeGridArea(int grid, QWidget *parent)
{
    auto *area = Named<QFrame>(QStringLiteral("GridArea_%1").arg(grid), parent);
    area->setFrameShape(QFrame::StyledPanel);
    area->setFrameShadow(QFrame::Sunken);
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    area->setPalette(pal);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    return area;
}

QString LightName(Light light)
{
    switch (light) {
    case Light::Red: return QStringLiteral("kırmızı");
    case Light::Green: return QStringLiteral("yeşil");
    case Light::Yellow: return QStringLiteral("sarı");
    case Light::None: break;
    }
    return {};
}

}  // namespace vx::gui
