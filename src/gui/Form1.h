#pragma once
// The start-up dialog that asks for the indicator model before anything else runs.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace vx {
class LanguageTexts;
}

namespace vx::gui {
class Panel;

class Form1 : public QDialog {
    Q_OBJECT
public:
    // Heights of the dialog and of its panel, in twips, short and tall.
    static constexpr int ShortHeightTwips = 2150;
    static constexpr int TallHeightTwips = 3075;
    static constexpr int ShortPanelTwips = 2180;
    static constexpr int TallPanelTwips = 3100;

    explicit Form1(QWidget *parent = nullptr);

    // "v" + major + "." + minor + " r" + revision padded to two digits.
    static QString VersionLabelText(int major, int minor, int revision);

    // Labels 1-4 (texts 356-359), the caption label (text 384) and the brand mark (text 383).
    void applyLanguage(const LanguageTexts &texts);
    bool showsHalvernLogo() const { return m_halvern; }

    void SSCommand6_Click(int index);  // 0: "ZR1", any other: "ZR2"
    void Command1_Click();             // short <-> tall
    int heightTwips() const;

signals:
    void modelChosen(const QString &model);
    void closedWithoutChoice();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void setHeightTwips(int dialogTwips, int panelTwips);

    Panel *m_panel;
    QLabel *m_labels[4];
    QLabel *m_logo;
    QLabel *m_version;
    bool m_halvern = false;
    bool m_chosen = false;
    int m_heightTwips = ShortHeightTwips;
};

}  // namespace vx::gui
