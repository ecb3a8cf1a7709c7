#include "dialogs/OptionsDialog.h"

#include "core/Cp1252.h"
#include "core/Prompter.h"
#include "core/Settings.h"
#include "ui/FormParts.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr int kDefaultHeightTwips = 4410;
constexpr int kDefaultWidthTwips = 6240;
constexpr int kSmallestTextHeight = 6;
constexpr int kLargestTextHeight = 12;

// A style sheet, not the palette: several styles paint push buttons without the palette's
// button colour, and the swatch must show the colour that will be stored.
void showColour(QPushButton *button, std::uint32_t value)
{
    const QString colour = colourFromValue(value).name();
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1;"
                       " border: 1px solid palette(dark); border-radius: 3px;"
                       " min-width: 80px; min-height: 22px; }"
                       "QPushButton:hover { border-color: palette(shadow); }"
                       "QPushButton:focus { border: 2px solid palette(highlight); }")
            .arg(colour));
}

QPushButton *colourButton(const char *objectName, const QString &accessibleName)
{
    auto *button = new QPushButton;
    button->setObjectName(QLatin1String(objectName));
    button->setAccessibleName(accessibleName);
    button->setToolTip(QStringLiteral("Klicka för att välja färg"));
    // Enter in the prefix field should save, not open a colour dialog.
    button->setAutoDefault(false);
    return button;
}

} // namespace

OptionsDialog::OptionsDialog(Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Alternativ"));
    buildControls();
    loadSettings();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    ApplyThemeColours(this, 0);
}

void OptionsDialog::buildControls()
{
    m_autoOpen = new QCheckBox(QStringLiteral("Öppna senast redigerad fil vid programstart"));
    m_autoOpen->setObjectName(QStringLiteral("chkAutoOpenMostRecentFile"));
    m_saveWinProp = new QCheckBox(QStringLiteral("Lagra fönsteregenskaper"));
    m_saveWinProp->setObjectName(QStringLiteral("chkSaveWinProp"));

    // The dialog is wider than high: the frames go in two columns under the check boxes.
    auto *left = new QVBoxLayout;
    left->addWidget(coloursFrame());
    left->addWidget(prefixFrame());
    left->addStretch();
    // Frames keep their natural height in a larger window; the space goes below them.
    auto *right = new QVBoxLayout;
    right->addWidget(textHeightFrame());
    right->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_autoOpen);
    layout->addWidget(m_saveWinProp);
    layout->addLayout(columns, 1);
    layout->addLayout(buttonsLayout());
}

QGroupBox *OptionsDialog::coloursFrame()
{
    auto *colours = new QGroupBox(QStringLiteral("Bakgrundsfärger"));
    colours->setObjectName(QStringLiteral("fraColors"));
    m_treeColourButton = colourButton("cmdTreeColor", QStringLiteral("Bakgrundsfärg för trädet"));
    m_gridColourButton =
        colourButton("cmdGridColor", QStringLiteral("Bakgrundsfärg för artikellistan"));
    auto *treeLabel = new QLabel(QStringLiteral("&Trädet:"));
    treeLabel->setObjectName(QStringLiteral("lblTreeColor"));
    treeLabel->setBuddy(m_treeColourButton);
    auto *gridLabel = new QLabel(QStringLiteral("A&rtikellistan:"));
    gridLabel->setObjectName(QStringLiteral("lblGridColor"));
    gridLabel->setBuddy(m_gridColourButton);
    auto *colourLayout = new QFormLayout(colours);
    colourLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    colourLayout->addRow(treeLabel, m_treeColourButton);
    colourLayout->addRow(gridLabel, m_gridColourButton);
    connect(m_treeColourButton, &QPushButton::clicked, this,
            [this] { chooseColour(m_treeColourButton, m_treeColour); });
    connect(m_gridColourButton, &QPushButton::clicked, this,
            [this] { chooseColour(m_gridColourButton, m_gridColour); });

    return colours;
}

QGroupBox *OptionsDialog::textHeightFrame()
{
    auto *textHeight = new QGroupBox(QStringLiteral("Texthöjd"));
    textHeight->setObjectName(QStringLiteral("fraTextHeight"));
    auto *textHeightLayout = new QVBoxLayout(textHeight);
    textHeightLayout->setSpacing(0);
    m_textHeights = new QButtonGroup(this);
    for (int points = kSmallestTextHeight; points <= kLargestTextHeight; ++points) {
        auto *option = new QRadioButton(QStringLiteral("%1 punkter").arg(points));
        option->setObjectName(QStringLiteral("optTextHeight%1").arg(points));
        m_textHeights->addButton(option, points);
        textHeightLayout->addWidget(option);
    }

    return textHeight;
}

QGroupBox *OptionsDialog::prefixFrame()
{
    auto *prefix = new QGroupBox(QStringLiteral("Prefix för benämning i tillbehörsgrupper"));
    prefix->setObjectName(QStringLiteral("fraTbhPrefix"));
    m_tbhPrefix = new QLineEdit;
    m_tbhPrefix->setObjectName(QStringLiteral("txtTbhPrefix"));
    m_tbhPrefix->setAccessibleName(QStringLiteral("Prefix för benämning i tillbehörsgrupper"));
    m_tbhPrefix->setValidator(new RuleValidator(
        [](const QString &text) { return Cp1252::canEncode(text); }, m_tbhPrefix));
    m_tbhPrefixWarning = new QLabel(QStringLiteral("Tecknet finns inte i Windows-1252."));
    m_tbhPrefixWarning->setObjectName(QStringLiteral("lblTbhPrefixWarning"));
    QPalette warningPalette = m_tbhPrefixWarning->palette();
    warningPalette.setColor(QPalette::WindowText, Qt::red);
    m_tbhPrefixWarning->setPalette(warningPalette);
    m_tbhPrefixWarning->hide();
    auto *prefixLayout = new QVBoxLayout(prefix);
    prefixLayout->addWidget(m_tbhPrefix);
    prefixLayout->addWidget(m_tbhPrefixWarning);
    // A refused character must not vanish without a word; the next accepted edit clears it.
    connect(m_tbhPrefix, &QLineEdit::inputRejected, m_tbhPrefixWarning, &QWidget::show);
    connect(m_tbhPrefix, &QLineEdit::textEdited, m_tbhPrefixWarning, &QWidget::hide);

    return prefix;
}

QLayout *OptionsDialog::buttonsLayout()
{
    auto *applyButton = new QPushButton(QStringLiteral("Ver&kställ"));
    applyButton->setObjectName(QStringLiteral("cmdApply"));
    auto *saveButton = new QPushButton(QStringLiteral("&Spara"));
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    saveButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("A&vbryt"));
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    connect(applyButton, &QPushButton::clicked, this, &OptionsDialog::apply);
    connect(saveButton, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(applyButton);
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    return buttons;
}

void OptionsDialog::loadSettings()
{
    m_autoOpen->setChecked(Settings::read(Settings::AutoOpen));
    m_saveWinProp->setChecked(Settings::read(Settings::SaveWinProp));
    // Not the main window's white: what a user gets by applying without picking a colour.
    m_treeColour = Settings::read(Settings::OptionsTreeColor);
    m_gridColour = Settings::read(Settings::OptionsGridColor);
    showColour(m_treeColourButton, m_treeColour);
    showColour(m_gridColourButton, m_gridColour);
    // A size the dialog has no button for (the main window offers 5) leaves all unchecked.
    if (QAbstractButton *option = m_textHeights->button(Settings::read(Settings::FontSize)))
        option->setChecked(true);
    m_tbhPrefix->setText(Settings::read(Settings::TbhPrefix));
}

void OptionsDialog::chooseColour(QPushButton *button, std::uint32_t &colour)
{
    if (const std::optional<std::uint32_t> chosen = m_prompter.chooseColour(colour)) {
        colour = *chosen;
        showColour(button, colour);
    }
}

void OptionsDialog::apply()
{
    Settings::save(Settings::AutoOpen, m_autoOpen->isChecked());
    Settings::save(Settings::SaveWinProp, m_saveWinProp->isChecked());

    Settings::save(Settings::TreeColor, m_treeColour);
    emit treeColourChosen(m_treeColour);
    Settings::save(Settings::GridColor, m_gridColour);
    emit gridColourChosen(m_gridColour);

    for (int points = kSmallestTextHeight; points <= kLargestTextHeight; ++points) {
        if (m_textHeights->button(points)->isChecked()) {
            Settings::save(Settings::FontSize, points);
            emit fontSizeChosen(points);
            break;
        }
    }

    const QString prefix = m_tbhPrefix->text();
    Settings::save(Settings::TbhPrefix, prefix);
    emit accessoryPrefixChosen(prefix);
}

void OptionsDialog::applyAndClose()
{
    apply();
    accept();
}
