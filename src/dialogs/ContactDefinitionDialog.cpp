#include "dialogs/ContactDefinitionDialog.h"

#include "core/AppError.h"
#include "core/Prompter.h"
#include "edit/ContactPresets.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

// The pictures are compiled into the static library; naming their resource keeps the linker
// from dropping it. The macro must be used outside any namespace.
static void initContactPictures()
{
    Q_INIT_RESOURCE(contacts);
}

namespace {

const QString kWindow = QStringLiteral("frmContactDef");
constexpr QSize kPictureSize(32, 48);

using Type = ContactDefinition::ContactType;

const Type &typeAt(int type)
{
    return ContactDefinition::types()[size_t(type)];
}

QString labelOf(int type)
{
    return QString::fromUtf8(typeAt(type).label);
}

QIcon pictureOf(int type)
{
    return QIcon(QStringLiteral(":/contacts/%1.svg").arg(QLatin1String(typeAt(type).picture)));
}

// The time contacts come in two groups: delayed when the coil is switched on, and off.
constexpr int kFirstOnDelay = 6;
constexpr int kFirstOffDelay = 9;

QString groupOf(int type)
{
    if (type >= kFirstOffDelay && type < kFirstOffDelay + 3)
        return QStringLiteral("Frånslag");
    if (type >= kFirstOnDelay && type < kFirstOffDelay)
        return QStringLiteral("Tillslag");
    return {};
}

QToolButton *pictureButton(const QString &objectName)
{
    auto *button = new QToolButton;
    button->setObjectName(objectName);
    button->setIconSize(kPictureSize);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}

QPushButton *pushButton(const char *objectName, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

QGroupBox *frame(const char *objectName, const QString &title)
{
    auto *box = new QGroupBox(title);
    box->setObjectName(QLatin1String(objectName));
    return box;
}

// Dark enough to read on the light schemes, apart from the red of a refusal.
constexpr QRgb kWarningColour = qRgb(0xB0, 0x58, 0x00);

QLabel *messageLabel(const char *objectName, const QColor &colour)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(objectName));
    label->setWordWrap(true);
    QPalette coloured = label->palette();
    coloured.setColor(QPalette::WindowText, colour);
    label->setPalette(coloured);
    label->hide();
    return label;
}

template <size_t N, class T> int indexIn(const std::array<T *, N> &controls, QObject *object)
{
    const auto found = std::find(controls.begin(), controls.end(), object);
    return found == controls.end() ? -1 : int(found - controls.begin());
}

} // namespace

ContactDefinitionDialog::ContactDefinitionDialog(Prompter &prompter, const QString &initialText,
                                                 QWidget *parent)
    : ContactDefinitionDialog(prompter, initialText,
                              TerminalDefinitions::LoadTerminalDefinitions(prompter), parent)
{
}

ContactDefinitionDialog::ContactDefinitionDialog(Prompter &prompter, const QString &initialText,
                                                 TerminalDefinitions terminals, QWidget *parent)
    : QDialog(parent), m_prompter(prompter), m_contacts(std::move(terminals))
{
    initContactPictures();
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Kontaktdefinition"));
    buildControls();
    if (!initialText.isEmpty())
        m_contacts.DisplayPresets(initialText);
    loadPresets();
    ApplyThemeColours(this, 0);
    // Captions lie on frames that draw their own shade; a filled label would show as a patch.
    for (QLabel *label : findChildren<QLabel *>())
        label->setAutoFillBackground(false);
    showState();
    // The designed size is what the layout needs, so no text is ever cut.
    const QSize designed = sizeHint();
    keepPlacement(this, int(Twips::fromPixels(designed.height())),
                  int(Twips::fromPixels(designed.width())));
}

void ContactDefinitionDialog::buildControls()
{
    // A border shows the chosen type and the selected slot; the focus shows as a dotted one.
    setStyleSheet(QStringLiteral(
        "QToolButton { border: 2px solid transparent; border-radius: 3px; padding: 2px; }"
        "QToolButton:hover { border: 1px solid palette(mid); }"
        "QToolButton:focus { border: 1px dotted palette(text); }"
        "QToolButton:checked { border: 2px solid palette(highlight); }"
        "QToolButton:checked:focus { border: 2px dashed palette(highlight); }"));

    auto *mainContact = new QWidget;
    auto *mainLayout = new QVBoxLayout(mainContact);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addStretch();
    mainLayout->addWidget(typeControl(0));

    QGroupBox *contacts = frame("fraContacts", QStringLiteral("Kontakter"));
    auto *contactsLayout = new QHBoxLayout(contacts);
    for (int type = 1; type < kFirstOnDelay; ++type)
        contactsLayout->addWidget(typeControl(type), 0, Qt::AlignTop);

    QGroupBox *others = frame("fraOthers", QStringLiteral("Övriga"));
    auto *othersLayout = new QHBoxLayout(others);
    for (int type = 12; type < ContactDefinition::kTypeCount; ++type)
        othersLayout->addWidget(typeControl(type), 0, Qt::AlignTop);

    auto *layout = new QGridLayout(this);
    layout->addWidget(mainContact, 0, 0);
    layout->addWidget(contacts, 0, 1);
    layout->addWidget(others, 0, 2);
    layout->addWidget(timedContactsFrame(), 1, 0, 1, 2);
    layout->addLayout(slotCommandsLayout(), 1, 2);
    layout->addWidget(slotsFrame(), 2, 0, 1, 3);
    layout->addWidget(presetsFrame(), 0, 3, 3, 1);
    layout->addLayout(messagesLayout(), 3, 0, 1, 4);
    layout->addLayout(closeButtonsLayout(), 4, 0, 1, 4);
    layout->setColumnStretch(3, 1);
}

QGroupBox *ContactDefinitionDialog::timedContactsFrame()
{
    QGroupBox *timed = frame("fraTimeContacts", QStringLiteral("Tidkontakter"));
    auto *timedLayout = new QGridLayout(timed);
    for (int group = 0; group < 2; ++group) {
        const int first = group == 0 ? kFirstOnDelay : kFirstOffDelay;
        auto *caption = new QLabel(groupOf(first));
        caption->setObjectName(group == 0 ? QStringLiteral("lblOnDelay")
                                          : QStringLiteral("lblOffDelay"));
        caption->setAlignment(Qt::AlignCenter);
        timedLayout->addWidget(caption, 0, group * 4, 1, 3);
        for (int i = 0; i < 3; ++i)
            timedLayout->addWidget(typeControl(first + i), 1, group * 4 + i, Qt::AlignTop);
    }
    // A little air between the two groups.
    timedLayout->setColumnMinimumWidth(3, 12);

    return timed;
}

QLayout *ContactDefinitionDialog::slotCommandsLayout()
{
    // The markings for the next contact and the slot commands.
    m_terminals = new QComboBox;
    m_terminals->setObjectName(QStringLiteral("cboTerminals"));
    m_terminals->setMinimumContentsLength(8);
    auto *terminalsLabel = new QLabel(QStringLiteral("Uttagsmärkning:"));
    terminalsLabel->setObjectName(QStringLiteral("lblTerminals"));
    terminalsLabel->setBuddy(m_terminals);
    m_add = pushButton("cmdAdd", QStringLiteral("Lägg till"));
    m_remove = pushButton("cmdRemove", QStringLiteral("Ta bort"));
    connect(m_terminals, &QComboBox::activated, this,
            [this](int position) { m_contacts.setTerminalPosition(position); });
    connect(m_add, &QPushButton::clicked, this, &ContactDefinitionDialog::addContact);
    connect(m_remove, &QPushButton::clicked, this, &ContactDefinitionDialog::removeContact);
    auto *slotCommands = new QVBoxLayout;
    slotCommands->addStretch();
    slotCommands->addWidget(terminalsLabel);
    slotCommands->addWidget(m_terminals);
    auto *slotButtons = new QHBoxLayout;
    slotButtons->addWidget(m_add);
    slotButtons->addWidget(m_remove);
    slotCommands->addLayout(slotButtons);

    return slotCommands;
}

QGroupBox *ContactDefinitionDialog::slotsFrame()
{
    QGroupBox *slotFrame = frame("fraSlots", QStringLiteral("Kontaktuppsättning"));
    auto *slotsLayout = new QHBoxLayout(slotFrame);
    slotsLayout->setSpacing(2);
    for (int slot = 0; slot < ContactDefinition::kSlotCount; ++slot)
        slotsLayout->addWidget(slotControl(slot));
    slotsLayout->addStretch();

    return slotFrame;
}

QGroupBox *ContactDefinitionDialog::presetsFrame()
{
    QGroupBox *presets = frame("fraPredef", QStringLiteral("Fördefinierade"));
    m_presets = new QListWidget;
    m_presets->setObjectName(QStringLiteral("lstPredef"));
    m_presets->setAccessibleName(presets->title());
    m_presets->setToolTip(QStringLiteral("Dubbelklicka för att visa definitionen"));
    auto *savePresetButton = pushButton("cmdSavePreset", QStringLiteral("Lägg till"));
    savePresetButton->setToolTip(QStringLiteral("Spara definitionen som fördefinierad"));
    m_deletePreset = pushButton("cmdDeletePreset", QStringLiteral("Ta bort"));
    m_deletePreset->setToolTip(QStringLiteral("Ta bort den markerade fördefinierade"));
    connect(savePresetButton, &QPushButton::clicked, this, &ContactDefinitionDialog::savePreset);
    connect(m_deletePreset, &QPushButton::clicked, this, &ContactDefinitionDialog::deletePreset);
    connect(m_presets, &QListWidget::itemActivated, this, &ContactDefinitionDialog::applyPreset);
    connect(m_presets, &QListWidget::currentRowChanged, this,
            [this](int row) { m_deletePreset->setEnabled(row >= 0); });
    auto *presetsLayout = new QVBoxLayout(presets);
    presetsLayout->addWidget(m_presets);
    auto *presetButtons = new QHBoxLayout;
    presetButtons->addWidget(savePresetButton);
    presetButtons->addWidget(m_deletePreset);
    presetsLayout->addLayout(presetButtons);

    return presets;
}

QLayout *ContactDefinitionDialog::messagesLayout()
{
    // Why OK refuses, or what looks wrong.
    m_error = messageLabel("lblError", Qt::red);
    m_warning = messageLabel("lblWarning", QColor(kWarningColour));
    auto *messages = new QVBoxLayout;
    messages->addWidget(m_error);
    messages->addWidget(m_warning);

    return messages;
}

QLayout *ContactDefinitionDialog::closeButtonsLayout()
{
    // How long the text is against its field.
    m_length = new QLabel;
    m_length->setObjectName(QStringLiteral("lblLength"));
    m_ok = pushButton("cmdOK", QStringLiteral("OK"));
    m_ok->setDefault(true);
    auto *cancel = pushButton("cmdCancel", QStringLiteral("Avbryt"));
    connect(m_ok, &QPushButton::clicked, this, &ContactDefinitionDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *closeButtons = new QHBoxLayout;
    closeButtons->addWidget(m_length);
    closeButtons->addStretch();
    closeButtons->addWidget(m_ok);
    closeButtons->addWidget(cancel);

    return closeButtons;
}

QWidget *ContactDefinitionDialog::typeControl(int type)
{
    const QString label = labelOf(type);
    QToolButton *button = pictureButton(QStringLiteral("imgContactType%1").arg(type));
    button->setIcon(pictureOf(type));
    button->setAccessibleName(label);
    const QString group = groupOf(type);
    const QString place = QString::fromUtf8(typeAt(type).frame) +
                          (group.isEmpty() ? QString() : QStringLiteral(", ") + group.toLower());
    button->setAccessibleDescription(place);
    button->setToolTip(place.isEmpty() ? label
                                       : label + QStringLiteral(" (") + place + QLatin1Char(')'));
    connect(button, &QToolButton::clicked, this, [this, type] { selectType(type); });
    button->installEventFilter(this);
    m_typeButtons[size_t(type)] = button;

    auto *caption = new QLabel(label);
    caption->setObjectName(QStringLiteral("lblContact%1").arg(type));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setWordWrap(true);
    caption->setBuddy(button);
    // Wide enough for the longest word in bold, so a chosen type's caption never moves.
    QFont bold = caption->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int width = kPictureSize.width() + 12;
    for (const QString &word : label.split(QLatin1Char(' ')))
        width = std::max(width, metrics.horizontalAdvance(word) + 4);
    caption->setFixedWidth(width);
    caption->setMinimumHeight(2 * metrics.height());
    caption->installEventFilter(this);
    m_typeLabels[size_t(type)] = caption;

    auto *control = new QWidget;
    auto *layout = new QVBoxLayout(control);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    layout->addWidget(caption, 0, Qt::AlignHCenter);
    return control;
}

QWidget *ContactDefinitionDialog::slotControl(int slot)
{
    const auto terminalLabel = [this, slot](int b) {
        const int index = slot * ContactDefinition::kTerminalsPerSlot + b;
        auto *label = new QLabel;
        label->setObjectName(QStringLiteral("lblTerm%1").arg(index));
        label->setAlignment(Qt::AlignCenter);
        m_terminalLabels[size_t(index)] = label;
        return label;
    };

    QToolButton *button = pictureButton(QStringLiteral("imgContact%1").arg(slot));
    button->setAccessibleName(QStringLiteral("Kontakt %1").arg(slot + 1));
    // A free slot keeps its place, so the others do not move.
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    connect(button, &QToolButton::clicked, this, [this, slot] { selectSlot(slot); });
    button->installEventFilter(this);
    m_slotButtons[size_t(slot)] = button;

    auto *control = new QWidget;
    const QFontMetrics metrics(font());
    control->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("00 00")) + 8);
    auto *layout = new QVBoxLayout(control);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QLabel *top = terminalLabel(0);
    top->setMinimumHeight(metrics.height());
    layout->addWidget(top);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    // The second and third markings side by side under the picture; one alone sits centred.
    auto *bottom = new QWidget;
    bottom->setMinimumHeight(metrics.height());
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(6);
    bottomLayout->addStretch();
    bottomLayout->addWidget(terminalLabel(1));
    bottomLayout->addWidget(terminalLabel(2));
    bottomLayout->addStretch();
    layout->addWidget(bottom);
    return control;
}

void ContactDefinitionDialog::showState()
{
    const QPalette colours = palette();
    for (int type = 0; type < ContactDefinition::kTypeCount; ++type) {
        const bool highlighted = type == m_contacts.highlightedType();
        m_typeButtons[size_t(type)]->setChecked(highlighted);
        QLabel *caption = m_typeLabels[size_t(type)];
        QFont font = caption->font();
        font.setBold(highlighted);
        caption->setFont(font);
        QPalette captionColours = caption->palette();
        captionColours.setColor(
            QPalette::WindowText,
            colours.color(highlighted ? QPalette::Highlight : QPalette::ButtonText));
        caption->setPalette(captionColours);
    }

    for (int slot = 0; slot < ContactDefinition::kSlotCount; ++slot) {
        QToolButton *button = m_slotButtons[size_t(slot)];
        const int type = m_contacts.slotType(slot);
        button->setVisible(type >= 0);
        button->setIcon(type >= 0 ? pictureOf(type) : QIcon());
        button->setAccessibleDescription(type >= 0 ? labelOf(type) : QString());
        button->setToolTip(type >= 0 ? labelOf(type) : QString());
        button->setChecked(slot == m_contacts.selectedSlot());
    }
    for (int label = 0; label < ContactDefinition::kTerminalCount; ++label) {
        QLabel *terminal = m_terminalLabels[size_t(label)];
        terminal->setText(m_contacts.terminal(label));
        // The lower two share a row: an empty one makes room for the other.
        if (label % ContactDefinition::kTerminalsPerSlot != 0)
            terminal->setVisible(!terminal->text().isEmpty());
    }

    QStringList shown;
    for (int i = 0; i < m_terminals->count(); ++i)
        shown << m_terminals->itemText(i);
    if (shown != m_contacts.terminalChoices()) {
        const QSignalBlocker blocker(m_terminals);
        m_terminals->clear();
        m_terminals->addItems(m_contacts.terminalChoices());
    }
    m_terminals->setCurrentIndex(m_contacts.terminalPosition());
    m_remove->setEnabled(m_contacts.removeEnabled());

    const ContactDefinition::Fit fit = m_contacts.fit(m_fieldLength);
    m_length->setText(fit.lengthText());
    m_error->setText(fit.refusal());
    m_error->setVisible(!fit.fits());
    m_warning->setText(fit.warning());
    m_warning->setVisible(!fit.warning().isEmpty());
    m_ok->setEnabled(fit.fits());
}

void ContactDefinitionDialog::setFieldLength(int length)
{
    m_fieldLength = length;
    showState();
}

bool ContactDefinitionDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (const int type = indexIn(m_typeButtons, watched); type >= 0) {
            selectType(type);
            addContact();
            return true;
        }
        if (const int slot = indexIn(m_slotButtons, watched); slot >= 0) {
            selectSlot(slot);
            removeContact();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        if (const int type = indexIn(m_typeLabels, watched); type >= 0) {
            m_contacts.highlightType(type);
            showState();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ContactDefinitionDialog::selectType(int type)
{
    m_contacts.selectType(type);
    showState();
}

void ContactDefinitionDialog::addContact()
{
    if (!m_contacts.add())
        m_prompter.warning(QStringLiteral("Kan ej addera fler kontakter"));
    showState();
}

void ContactDefinitionDialog::removeContact()
{
    m_contacts.remove();
    showState();
}

void ContactDefinitionDialog::selectSlot(int slot)
{
    m_contacts.selectSlot(slot);
    showState();
}

void ContactDefinitionDialog::confirm()
{
    // A text the field cannot hold would be cut, and its header would no longer match its list.
    if (!m_contacts.fit(m_fieldLength).fits())
        return;
    m_definition = m_contacts.definition();
    accept();
}

// ------------------------------------------------------------------------------- presets

void ContactDefinitionDialog::loadPresets()
{
    m_presets->clear();
    for (const ContactPresets::Preset &preset : ContactPresets::read()) {
        auto *item = new QListWidgetItem(preset.definition(), m_presets);
        item->setData(Qt::UserRole, preset.typePart);
        item->setToolTip(preset.definition());
    }
    m_deletePreset->setEnabled(false);
}

void ContactDefinitionDialog::savePreset()
{
    // Built, not as it was shown: the key is then the same for the same contacts.
    const QString definition = m_contacts.BuildDefinition();
    const QString file = ContactPresets::defaultFile();
    switch (ContactPresets::save(definition, file)) {
    case ContactPresets::SaveResult::NothingToSave:
        return;
    case ContactPresets::SaveResult::Failed:
        reportError(
            m_prompter, kWindow, QStringLiteral("cmdSavePreset_Click"),
            AppError(ErrorNumber::PermissionDenied, QStringLiteral("Kan ej skriva till ") + file));
        return;
    case ContactPresets::SaveResult::Saved:
        break;
    }
    loadPresets();
    const QList<QListWidgetItem *> saved = m_presets->findItems(definition, Qt::MatchExactly);
    if (!saved.isEmpty())
        m_presets->setCurrentItem(saved.first());
}

void ContactDefinitionDialog::applyPreset()
{
    const QListWidgetItem *item = m_presets->currentItem();
    if (!item)
        return;
    m_contacts.clear();
    m_contacts.DisplayPresets(item->text());
    // The offered markings follow the ones the preset uses.
    m_contacts.selectType(m_contacts.currentType());
    showState();
}

void ContactDefinitionDialog::deletePreset()
{
    const QListWidgetItem *item = m_presets->currentItem();
    if (!item)
        return;
    const QString file = ContactPresets::defaultFile();
    if (!ContactPresets::remove(item->data(Qt::UserRole).toString(), file)) {
        reportError(
            m_prompter, kWindow, QStringLiteral("cmdDeletePreset_Click"),
            AppError(ErrorNumber::PermissionDenied, QStringLiteral("Kan ej skriva till ") + file));
    }
    loadPresets();
}
