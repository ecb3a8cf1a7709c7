#include "dialogs/FieldEditDialog.h"

#include "edit/FieldLength.h"
#include "ui/FormParts.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr int kDefaultHeightTwips = 3500;
constexpr int kDefaultWidthTwips = 7185;

QLineEdit *lineEdit(const char *objectName, const QString &text, bool readOnly)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(objectName));
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace

FieldEditDialog::FieldEditDialog(Database &db, Prompter &prompter, const QString &column,
                                 const QString &size, const QString &description, QWidget *parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_size(size)
{
    setObjectName(QStringLiteral("frmFieldEdit"));
    setWindowTitle(QStringLiteral("Fältredigering"));
    buildControls();
    m_name->setText(column);
    m_alias->setText(description);
    m_length->setText(size);
    m_length->selectAll();
    // The name box is read-only (an edited name would change another column), so the length
    // box is the one to type in.
    m_length->setFocus();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    ApplyThemeColours(this, 0);
}

void FieldEditDialog::proposeLength(int length)
{
    m_length->setText(QString::number(length));
    m_length->selectAll();
}

void FieldEditDialog::buildControls()
{
    m_name = lineEdit("txtName", QString(), true);
    m_alias = lineEdit("txtAlias", QString(), true);
    m_length = lineEdit("txtLength", QString(), false);
    m_length->setValidator(new RuleValidator(&FieldLength::acceptableInput, m_length));
    // Room for three digits, not the whole width.
    m_length->setMaximumWidth(m_length->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                              24);
    connect(m_length, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });

    auto *fields = new QGridLayout;
    fields->addWidget(buddyLabel("lblName", QStringLiteral("Fältnamn"), m_name), 0, 0);
    fields->addWidget(m_name, 0, 1);
    fields->addWidget(buddyLabel("lblAlias", QStringLiteral("Alias"), m_alias), 1, 0);
    fields->addWidget(m_alias, 1, 1);
    fields->addWidget(buddyLabel("lbLength", QStringLiteral("Fältlängd"), m_length), 2, 0);
    fields->addWidget(m_length, 2, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);

    auto *saveButton = new QPushButton(QStringLiteral("Ut&för"));
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    saveButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("A&vbryt"));
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, &FieldEditDialog::carryOut);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addSpacing(12);
    top->addLayout(buttons);

    auto *warning = new QGroupBox(QStringLiteral("Tänk på..."));
    warning->setObjectName(QStringLiteral("fraWarning"));
    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("picExclamation"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    auto *text = new QLabel(QStringLiteral(
        "Modifieringar av fältlängder kräver att schablonfilen VMK94.txt eller motsvarande "
        "anpassas till de nya fältlängderna för att man ska tillgodogöra sig dem. Omfattande "
        "fältlängdsökningar kan få VOLTMARK att sluta fungera. Minskning av fältlängder kan "
        "medföra att data förstörs."));
    text->setObjectName(QStringLiteral("lblWarning"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *warningLayout = new QHBoxLayout(warning);
    warningLayout->addWidget(picture);
    warningLayout->addSpacing(6);
    warningLayout->addWidget(text, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(warning, 1);
}

void FieldEditDialog::carryOut()
{
    const auto busy = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    switch (FieldLength::apply(m_db, m_prompter, m_name->text(), m_size, m_length->text(), busy)) {
    case FieldLength::Outcome::Changed:
        accept();
        return;
    case FieldLength::Outcome::Failed:
        reject();
        return;
    case FieldLength::Outcome::Refused:
        m_length->setFocus();
        m_length->selectAll();
        return;
    }
}
