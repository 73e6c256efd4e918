#include "gui/Form1.h"

#include "Version.h"
#include "gui/Widgets.h"
#include "shell/LanguageTexts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace vx::gui {
namespace {
constexpr int TwipsPerPixel = 15;
constexpr int DialogWidth = 380;

int toPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
}  // namespace

Form1::Form1(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VEXTORA"));
    setModal(false);

    m_panel = new Panel(QStringLiteral("SSPanel7"), QStringLiteral("  Kormel Truck"), this);
    QWidget *body = m_panel->body();

    m_logo = new QLabel(body);
    m_logo->setObjectName(QStringLiteral("Image1"));
    m_logo->setGeometry(10, 6, 190, 40);

    m_version = new QLabel(VersionLabelText(vx::version::Major, vx::version::Minor, vx::version::Revision), body);
    m_version->setObjectName(QStringLiteral("Label5"));
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_version->setGeometry(DialogWidth - 120, 6, 106, 18);

    auto *more = new QPushButton(QStringLiteral("..."), body);
    more->setObjectName(QStringLiteral("Command1"));
    more->setToolTip(QStringLiteral("+ / -"));
    more->setGeometry(DialogWidth - 46, 26, 32, 20);
    connect(more, &QPushButton::clicked, this, [this] { Command1_Click(); });

    static const char *const designTexts[4] = {
        "Kabloları kontrol edin!",
        "Cihaz parametreleri ve program",
        "ayarlarının doğruluğundan emin olun!",
        "İndikatör modeli seçiniz.",
    };
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = new QLabel(QString::fromUtf8(designTexts[i]), body);
        m_labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    }
    m_labels[3]->setGeometry(10, 52, DialogWidth - 24, 18);
    QFont bold = m_labels[3]->font();
    bold.setBold(true);
    m_labels[3]->setFont(bold);
    // The detail area, seen when the dialog is tall.
    m_labels[0]->setGeometry(10, 122, DialogWidth - 24, 18);
    m_labels[0]->setFont(bold);
    m_labels[0]->setStyleSheet(QStringLiteral("color: #b71c1c;"));
    m_labels[1]->setGeometry(10, 140, DialogWidth - 24, 18);
    m_labels[2]->setGeometry(10, 156, DialogWidth - 24, 18);

    const char *const models[2] = {"ZR1", "ZR2"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(models[i]), body);
        button->setObjectName(QStringLiteral("SSCommand6_%1").arg(i));
        button->setGeometry(10 + i * ((DialogWidth - 30) / 2 + 6), 76, (DialogWidth - 30) / 2, 30);
        QFont f = button->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.15);
        button->setFont(f);
        connect(button, &QPushButton::clicked, this, [this, i] { SSCommand6_Click(i); });
    }

    m_logo->setPixmap(DrawNeutralMark(m_logo->size()));
    setHeightTwips(ShortHeightTwips, ShortPanelTwips);
}

QString Form1::VersionLabelText(int major, int minor, int revision)
{
    return QStringLiteral("v%1.%2 r%3").arg(major).arg(minor).arg(revision, 2, 10, QLatin1Char('0'));
}

void Form1::applyLanguage(const LanguageTexts &texts)
{
    for (int i = 0; i < 4; ++i)
        m_labels[i]->setText(texts.text(356 + i));
    m_panel->setCaption(texts.text(384));
    m_halvern = texts.brandIsHalvern();
    m_logo->setPixmap(m_halvern ? DrawHalvernLogo(m_logo->size()) : DrawNeutralMark(m_logo->size()));
}

void Form1::SSCommand6_Click(int index)
{
    m_chosen = true;
    m_panel->hide();
    emit modelChosen(index == 0 ? QStringLiteral("ZR1") : QStringLiteral("ZR2"));
}

void Form1::Command1_Click()
{
    if (m_heightTwips != ShortHeightTwips)
        setHeightTwips(ShortHeightTwips, ShortPanelTwips);
    else
        setHeightTwips(TallHeightTwips, TallPanelTwips);
}

int Form1::heightTwips() const { return m_heightTwips; }

void Form1::setHeightTwips(int dialogTwips, int panelTwips)
{
    m_heightTwips = dialogTwips;
    setFixedSize(DialogWidth, toPixels(dialogTwips));
    m_panel->setGeometry(0, 0, DialogWidth, toPixels(panelTwips));
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_chosen)
        emit closedWithoutChoice();
}

void Form1::reject()
{
    // Escape does not dismiss the model question; only the window's close button does.
}

}  // namespace vx::gui
