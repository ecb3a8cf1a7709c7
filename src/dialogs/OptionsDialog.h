#pragma once

#include <QDialog>

#include <cstdint>

class Prompter;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

// The common preferences (section "Options"): automatic opening, storing window placement, the
// tree and grid colours, the grid font size and the accessory prefix. Applying stores them and
// announces what the main window shows at once, in that order, through the signals below.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(Prompter &prompter, QWidget *parent = nullptr);

signals:
    // Colours are the stored 32-bit values (red in the lowest byte).
    void treeColourChosen(std::uint32_t colour);
    void gridColourChosen(std::uint32_t colour);
    // Only when a size button is checked; the main window selects it in its font-size box.
    void fontSizeChosen(int points);
    void accessoryPrefixChosen(const QString &prefix);

private:
    void buildControls();
    QGroupBox *coloursFrame();
    QGroupBox *textHeightFrame();
    QGroupBox *prefixFrame();
    QLayout *buttonsLayout();
    void loadSettings();
    void chooseColour(QPushButton *button, std::uint32_t &colour);
    void apply();
    void applyAndClose();

    Prompter &m_prompter;

    QCheckBox *m_autoOpen = nullptr;
    QCheckBox *m_saveWinProp = nullptr;
    QPushButton *m_treeColourButton = nullptr;
    QPushButton *m_gridColourButton = nullptr;
    QButtonGroup *m_textHeights = nullptr;
    QLineEdit *m_tbhPrefix = nullptr;
    QLabel *m_tbhPrefixWarning = nullptr;

    std::uint32_t m_treeColour = 0;
    std::uint32_t m_gridColour = 0;
};
