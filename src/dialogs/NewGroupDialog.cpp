#include "dialogs/NewGroupDialog.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Prompter.h"
#include "core/Settings.h"
#include "edit/AccessoryPick.h"
#include "ui/FormParts.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QValidator>

#include <functional>

namespace {

constexpr int kDefaultHeightTwips = 4215;
constexpr int kDefaultWidthTwips = 4410;

QLineEdit *textBox(const char *objectName, std::function<bool(const QString &)> accepts)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(objectName));
    box->setValidator(new RuleValidator(std::move(accepts), box));
    QObject::connect(box, &QLineEdit::inputRejected, box, [] { QApplication::beep(); });
    return box;
}

// Wide enough for `characters` digits or capitals, no wider.
void fitWidth(QLineEdit *box, int characters)
{
    box->setMaximumWidth(
        box->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('W'))) + 16);
}

QGroupBox *frame(const char *objectName, const QString &title)
{
    auto *box = new QGroupBox(title);
    box->setObjectName(QLatin1String(objectName));
    return box;
}

QString errorText(const std::exception &error)
{
    if (const auto *appError = dynamic_cast<const AppError *>(&error))
        return QString::number(appError->number()) + QStringLiteral(" - ") +
               appError->description();
    return QString::number(ErrorNumber::Unexpected) + QStringLiteral(" - ") +
           QString::fromLocal8Bit(error.what());
}

} // namespace

NewGroupDialog::NewGroupDialog(Database &db, Prompter &prompter, bool accessoryGroup,
                               QWidget *parent)
    : QDialog(parent), m_db(db), m_prompter(prompter),
      m_kind(accessoryGroup ? NewGroup::Kind::Accessory : NewGroup::Kind::Article)
{
    const bool article = m_kind == NewGroup::Kind::Article;
    setObjectName(article ? QStringLiteral("frmNewArticleGroup")
                          : QStringLiteral("frmNewAccGroup"));
    setWindowTitle(article ? QStringLiteral("Inför ny artikelgrupp")
                           : QStringLiteral("Addera tillbehösgrupp"));
    setModal(true);
    buildControls();

    // Without the codes the validation reads them again when it needs them.
    if (loadGroups(QStringLiteral("Form_Load"))) {
        try {
            if (const int length = NewGroup::descriptionLength(m_db); length > 0)
                m_description->setMaxLength(length);
        } catch (const std::exception &e) {
            reportError(m_prompter, objectName(), QStringLiteral("Form_Load"), e);
        }
    }
    if (!article) {
        // What the picker lists the groups by.
        m_accessoryPrefix = AccessoryPick::accessoryPrefix();
        m_description->setText(Settings::read(Settings::TbhPrefix));
    }
    m_slider->setValue(NewGroup::initialNumber(m_kind));

    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    ApplyThemeColours(this, 0);
}

QWidget *NewGroupDialog::buildBlockNameFrame()
{
    const bool article = m_kind == NewGroup::Kind::Article;
    auto *blockName = frame("fraBlockName", QStringLiteral("Blocknamn och typ"));

    m_prefix = new QLabel(NewGroup::designedPrefixLabel(m_kind));
    m_prefix->setObjectName(QStringLiteral("lblPrefix"));
    const NewGroup::Kind kind = m_kind;
    m_code = textBox("txtAppCode",
                     [kind](const QString &text) { return NewGroup::acceptableCode(kind, text); });
    m_code->setAccessibleName(blockName->title());
    fitWidth(m_code, NewGroup::codeLength(m_kind) + 1);
    auto *about = new QPushButton(QStringLiteral("?"));
    about->setObjectName(QStringLiteral("cmdAboutBlockNames"));
    about->setAutoDefault(false);
    about->setFixedWidth(about->sizeHint().height());
    about->setToolTip(QStringLiteral("Om blocknamn"));
    about->setAccessibleName(QStringLiteral("Om blocknamn"));
    connect(about, &QPushButton::clicked, this, [this] {
        m_prompter.message(MessageIcon::Information, QStringLiteral("Om blocknamn"),
                           NewGroup::blockNameHelp(m_kind, m_prefix->text()));
    });

    auto *codeRow = new QHBoxLayout;
    codeRow->setSpacing(2);
    codeRow->addWidget(m_prefix);
    codeRow->addWidget(m_code);
    if (article) {
        auto *suffix = new QLabel(NewGroup::suffix(m_kind));
        suffix->setObjectName(QStringLiteral("lblSuffix"));
        codeRow->addWidget(suffix);
    }
    codeRow->addStretch();
    codeRow->addWidget(about);

    auto *layout = new QVBoxLayout(blockName);
    layout->addLayout(codeRow);
    if (article) {
        m_fuse = new QCheckBox(QStringLiteral("Säkring"));
        m_fuse->setObjectName(QStringLiteral("chkSpecial0"));
        m_fuse->setToolTip(QStringLiteral(
            "'Säkring' innebär att artiklarna summeras i apparatlistor och specificeras i listor "
            "av typ 'SÄKRINGSLISTA'"));
        m_terminal = new QCheckBox(QStringLiteral("Plint"));
        m_terminal->setObjectName(QStringLiteral("chkSpecial1"));
        m_terminal->setToolTip(QStringLiteral(
            "'Plint' innebär att artiklarna summeras i apparatlistor och specificeras i listor "
            "av typ 'PLINTLISTA'"));
        connect(m_fuse, &QCheckBox::clicked, this, [this] { specialClicked(m_fuse); });
        connect(m_terminal, &QCheckBox::clicked, this, [this] { specialClicked(m_terminal); });
        auto *kinds = new QHBoxLayout;
        kinds->addWidget(m_fuse);
        kinds->addSpacing(12);
        kinds->addWidget(m_terminal);
        kinds->addStretch();
        layout->addLayout(kinds);
    }
    return blockName;
}

void NewGroupDialog::buildControls()
{
    QWidget *blockName = buildBlockNameFrame();

    auto *descriptionFrame = frame("fraDescription", QStringLiteral("Benämning"));
    m_description = textBox("txtDescription", [](const QString &text) {
        // The description goes into the Windows-1252 exchange files.
        return Cp1252::canEncode(text);
    });
    m_description->setAccessibleName(descriptionFrame->title());
    (new QVBoxLayout(descriptionFrame))->addWidget(m_description);

    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("lblError"));
    QPalette red = m_error->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_error->setPalette(red);
    // The message comes and goes without the controls below it jumping.
    QSizePolicy keepSpace = m_error->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    m_error->setSizePolicy(keepSpace);
    m_error->hide();

    // Allowed, but a group the picker will not offer is seldom what the user wants.
    if (m_kind == NewGroup::Kind::Accessory) {
        m_prefixWarning = new QLabel;
        m_prefixWarning->setObjectName(QStringLiteral("lblPrefixWarning"));
        m_prefixWarning->setWordWrap(true);
        QPalette orange = m_prefixWarning->palette();
        orange.setColor(QPalette::WindowText, QColor(0xB0, 0x58, 0x00));
        m_prefixWarning->setPalette(orange);
        m_prefixWarning->hide();
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(blockName);
    layout->addWidget(descriptionFrame);
    layout->addSpacing(4);
    layout->addLayout(numberRow());
    layout->addWidget(m_error);
    if (m_prefixWarning)
        layout->addWidget(m_prefixWarning);
    layout->addStretch();
    layout->addLayout(buttonsLayout());

    connect(m_code, &QLineEdit::textChanged, this, &NewGroupDialog::validate);
    connect(m_description, &QLineEdit::textChanged, this, &NewGroupDialog::validate);
    connect(m_number, &QLineEdit::textChanged, this, &NewGroupDialog::validate);
}

QLayout *NewGroupDialog::numberRow()
{
    const NewGroup::Kind kind = m_kind;
    m_number = textBox("txtNumber", [kind](const QString &text) {
        return NewGroup::acceptableNumber(kind, text);
    });
    fitWidth(m_number, 4);
    auto *numberLabel = new QLabel(QStringLiteral("Antal:"));
    numberLabel->setObjectName(QStringLiteral("Label2"));
    numberLabel->setBuddy(m_number);
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setObjectName(QStringLiteral("Slider1"));
    m_slider->setAccessibleName(QStringLiteral("Antal"));
    m_slider->setRange(0, NewGroup::kSliderMaximum);
    m_slider->setPageStep(10);
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { m_number->setText(QString::number(value)); });
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(m_number);
    numberRow->addSpacing(6);
    numberRow->addWidget(m_slider, 1);

    return numberRow;
}

QLayout *NewGroupDialog::buttonsLayout()
{
    m_save = new QPushButton(QStringLiteral("&Spara"));
    m_save->setObjectName(QStringLiteral("cmdSave"));
    m_save->setDefault(true);
    m_save->setEnabled(false);
    auto *close = new QPushButton(QStringLiteral("St&äng"));
    close->setObjectName(QStringLiteral("cmdCancel"));
    close->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &NewGroupDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(close);

    return buttons;
}

bool NewGroupDialog::loadGroups(const QString &procedure)
{
    try {
        m_usedCodes = NewGroup::readUsedCodes(m_db, m_kind);
        const QString prefix = NewGroup::readLibraryPrefix(m_db);
        m_prefix->setText(prefix.isEmpty() ? NewGroup::designedPrefixLabel(m_kind)
                                           : NewGroup::prefixLabel(m_kind, prefix));
        return true;
    } catch (const std::exception &e) {
        m_usedCodes.reset();
        if (procedure.isEmpty())
            m_prompter.message(MessageIcon::None, QString(), errorText(e));
        else
            reportError(m_prompter, objectName(), procedure, e);
        return false;
    }
}

void NewGroupDialog::validate()
{
    using State = NewGroup::Verdict::State;
    if (m_prefixWarning) {
        const QString warning =
            NewGroup::accessoryPrefixWarning(m_description->text(), m_accessoryPrefix);
        m_prefixWarning->setText(warning);
        m_prefixWarning->setVisible(!warning.isEmpty());
    }
    const QString code = m_code->text();
    if (code.size() == NewGroup::codeLength(m_kind) && !m_usedCodes && !loadGroups(QString())) {
        m_save->setEnabled(false);
        return;
    }
    const NewGroup::Verdict verdict = NewGroup::validate(
        m_kind, code, m_description->text(), m_number->text(), m_usedCodes.value_or(QStringList()));
    switch (verdict.state) {
    case State::Incomplete:
    case State::Valid:
    case State::Invalid:
        // Whenever "Spara" cannot be pressed the user reads why.
        m_error->setText(verdict.message);
        m_error->setVisible(!verdict.message.isEmpty());
        m_save->setEnabled(verdict.state == State::Valid);
        return;
    case State::NotANumber:
        m_prompter.message(MessageIcon::None, QString(),
                           errorText(AppError(ErrorNumber::TypeMismatch,
                                              QStringLiteral("Antalet är inget heltal."))));
        return;
    }
}

NewGroup::Special NewGroupDialog::special() const
{
    if (m_fuse && m_fuse->isChecked())
        return NewGroup::Special::Fuse;
    if (m_terminal && m_terminal->isChecked())
        return NewGroup::Special::Terminal;
    return NewGroup::Special::None;
}

void NewGroupDialog::specialClicked(QCheckBox *clicked)
{
    // At most one kind.
    if (clicked->isChecked())
        (clicked == m_fuse ? m_terminal : m_fuse)->setChecked(false);

    const NewGroup::Special kind = special();
    const NewGroup::NumberLimits limits = NewGroup::numberLimits(kind);
    // The last digits count: 120 becomes 20, not 12.
    if (kind != NewGroup::Special::None)
        m_number->setText(m_number->text().right(limits.maxLength));
    m_number->setMaxLength(limits.maxLength);
    // A slider pulled back to its new maximum must not overwrite the number just cut.
    const QSignalBlocker blocker(m_slider);
    m_slider->setMaximum(limits.sliderMaximum);
}

void NewGroupDialog::save()
{
    const NewGroup::Verdict verdict =
        NewGroup::validate(m_kind, m_code->text(), m_description->text(), m_number->text(),
                           m_usedCodes.value_or(QStringList()));
    try {
        if (verdict.state == NewGroup::Verdict::State::NotANumber)
            throw AppError(ErrorNumber::TypeMismatch, QStringLiteral("Antalet är inget heltal."));
        if (!m_usedCodes || verdict.state != NewGroup::Verdict::State::Valid)
            return;
        NewGroup::Request request;
        request.kind = m_kind;
        request.prefixLabel = m_prefix->text();
        request.code = m_code->text();
        request.description = m_description->text();
        request.number = NewGroup::numberValue(m_number->text()).value_or(0);
        request.special = special();
        const NewGroup::Rows rows = NewGroup::write(m_db, request);
        m_anyGroupAdded = true;
        emit groupAdded(rows.blockName);
    } catch (const std::exception &e) {
        reportError(m_prompter, objectName(), QStringLiteral("cmdSave_Click"), e);
        return;
    }
    m_save->setEnabled(false);
    loadGroups(QStringLiteral("cmdSave_Click"));
    m_prompter.message(MessageIcon::Information, QStringLiteral("Lägg till"),
                       NewGroup::addedMessage(m_kind, m_description->text()));
    m_code->setFocus();
}

void NewGroupDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_code->setFocus();
}
