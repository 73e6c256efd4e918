#pragma once
// Small widgets of the main window: the captioned panel, the status lamp and the
// painted brand marks, and the one place that knows how a caption is set on each
// kind of control.

#include <QColor>
#include <QFrame>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <utility>

class QFrame;
class QLabel;
class QVBoxLayout;

namespace vx::gui {

// A raised panel with a caption strip on top, like the floating panels of the window.
class Panel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    explicit Panel(const QString &objectName, const QString &caption, QWidget *parent = nullptr);
    QString caption() const;
    void setCaption(const QString &caption);
    // Content goes below the caption strip.
    QWidget *body() const { return m_body; }

private:
    QLabel *m_caption;
    QWidget *m_body;
};

// A panel that floats over the window's client area, centred, hidden until shown.
void MakeFloating(Panel *panel, QSize size);

// One light of the status indicator; a click on it connects or disconnects.
class Lamp : public QWidget {
    Q_OBJECT
public:
    Lamp(const QString &objectName, QColor colour, QWidget *parent = nullptr);
    QColor colour() const { return m_colour; }
    QSize sizeHint() const override { return {56, 56}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_colour;
};

// The two marks of the model dialog: the maker's logo and the neutral mark.
QPixmap DrawHalvernLogo(QSize size);
QPixmap DrawNeutralMark(QSize size);

// Caption of a control of any kind: menu title, action, button, label, group box,
// panel, line edit. A tab caption is set on the tab widget by index.
void SetCaption(QObject *control, const QString &text);
QString CaptionOf(const QObject *control);
void SetToolTip(QObject *control, const QString &text);

// A control with its name: Named<QPushButton>("SSCommand1", parent, "TAMAM").
template <typename T, typename... Args>
T *Named(const QString &objectName, QWidget *parent, Args &&...args)
{
    auto *control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(objectName);
    return control;
}

// The sunken area a grid (Grid1 index `grid`) sits in; its layout takes the grid.
QFrame *MakeGridArea(int grid, QWidget *parent);

// The status light: exactly one lamp is shown, or none.
enum class Light { None, Red, Green, Yellow };
// The light's name as the smoke check prints it: "kırmızı", "yeşil", "sarı", "".
QString LightName(Light light);

}  // namespace vx::gui
