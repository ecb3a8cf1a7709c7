#include "dialogs/ChangePrefixDialog.h"

#include "core/AppError.h"
#include "edit/PrefixChange.h"
#include "ui/FormParts.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr int kDefaultHeightTwips = 2235;
constexpr int kDefaultWidthTwips = 4170;

} // namespace

ChangePrefixDialog::ChangePrefixDialog(Database &db, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_db(db), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmChangePrefix"));
    setWindowTitle(QStringLiteral("Ändra bibliotek (Blockprefix)"));
    setModal(true);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());
    buildControls();
    try {
        m_oldPrefix->setText(PrefixChange::currentPrefix(m_db));
    } catch (const std::exception &e) {
        // Without a prefix nothing can be applied; the dialog still opens.
        reportError(m_prompter, objectName(), QStringLiteral("FormLoad"), e);
    }
    newPrefixChanged(m_newPrefix->text());
    m_newPrefix->setFocus();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    ApplyThemeColours(this, 0);
}

void ChangePrefixDialog::buildControls()
{
    m_oldPrefix = new QLineEdit;
    m_oldPrefix->setObjectName(QStringLiteral("txtOldPrefix"));
    m_oldPrefix->setReadOnly(true);
    m_newPrefix = new QLineEdit;
    m_newPrefix->setObjectName(QStringLiteral("txtNewPrefix"));
    m_newPrefix->setValidator(new RuleValidator(&PrefixChange::acceptableInput, m_newPrefix));
    connect(m_newPrefix, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    connect(m_newPrefix, &QLineEdit::textChanged, this, &ChangePrefixDialog::newPrefixChanged);

    auto *fields = new QGridLayout;
    fields->addWidget(
        buddyLabel("lblOldPrefix", QStringLiteral("Nuvarande bibliotek"), m_oldPrefix), 0, 0);
    fields->addWidget(m_oldPrefix, 0, 1);
    fields->addWidget(buddyLabel("lblNewPrefix", QStringLiteral("Nytt bibliotek"), m_newPrefix), 1,
                      0);
    fields->addWidget(m_newPrefix, 1, 1);
    fields->setColumnStretch(1, 1);

    m_apply = new QPushButton(QStringLiteral("&Utför"));
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("A&vbryt"));
    cancelButton->setObjectName(QStringLiteral("cmdAvbryt"));
    cancelButton->setAutoDefault(false);
    connect(m_apply, &QPushButton::clicked, this, &ChangePrefixDialog::carryOut);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
}

void ChangePrefixDialog::newPrefixChanged(const QString &text)
{
    const PrefixChange::NewPrefix checked = PrefixChange::checkNewPrefix(m_oldPrefix->text(), text);
    if (checked.text != text) {
        // Same length, so the cursor stays where the user typed. The check runs again on the
        // new text and leaves it as it is.
        const int cursor = m_newPrefix->cursorPosition();
        m_newPrefix->setText(checked.text);
        m_newPrefix->setCursorPosition(cursor);
    }
    m_apply->setEnabled(checked.applicable);
}

void ChangePrefixDialog::carryOut()
{
    const QString oldPrefix = m_oldPrefix->text();
    const QString newPrefix = m_newPrefix->text();
    if (!PrefixChange::checkNewPrefix(oldPrefix, newPrefix).applicable)
        return;
    const auto busy = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    if (!PrefixChange::apply(m_db, m_prompter, oldPrefix, newPrefix, busy)) {
        m_newPrefix->setFocus();
        return;
    }
    emit prefixChanged(oldPrefix, newPrefix);
    accept();
}
