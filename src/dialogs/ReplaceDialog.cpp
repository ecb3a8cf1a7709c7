#include "dialogs/ReplaceDialog.h"

#include "edit/Replace.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultHeightTwips = 2760;
constexpr int kDefaultWidthTwips = 4380;

QLabel *makeLabel(const char *name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit *makeTextBox(const char *name, const QString &accessibleName)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    return box;
}

} // namespace

ReplaceDialog::ReplaceDialog(ArticleGrid &grid, QWidget *parent) : QDialog(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QStringLiteral("Sök och ersätt"));
    buildControls();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    if (Replace::defaultScope(m_grid.selection()) == Replace::Scope::ShownArticles)
        m_shownArticles->setChecked(true);
    updateState();
    ApplyThemeColours(this, 0);
}

void ReplaceDialog::buildControls()
{
    QLabel *findLabel = makeLabel("lblSearch", QStringLiteral("Sök:"));
    m_find = makeTextBox("txtFind", QStringLiteral("Sök"));
    findLabel->setBuddy(m_find);
    QLabel *replaceLabel = makeLabel("lblReplace", QStringLiteral("Ersätt:"));
    m_replacement = makeTextBox("txtReplace", QStringLiteral("Ersätt"));
    replaceLabel->setBuddy(m_replacement);

    auto *frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("Frame1"));
    m_selection = new QRadioButton(QStringLiteral("Markering"));
    m_selection->setObjectName(QStringLiteral("optReplace0"));
    m_selection->setChecked(true);
    m_shownArticles = new QRadioButton(QStringLiteral("Visade artiklar"));
    m_shownArticles->setObjectName(QStringLiteral("optReplace1"));
    auto *scopes = new QButtonGroup(this);
    scopes->addButton(m_selection, int(Replace::Scope::Selection));
    scopes->addButton(m_shownArticles, int(Replace::Scope::ShownArticles));
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_selection);
    frameLayout->addWidget(m_shownArticles);
    frameLayout->addStretch();

    // Shown only while the replacement holds a character the exchange files cannot.
    m_error =
        makeLabel("lblError", QStringLiteral("Ersätt-texten innehåller tecken som inte finns i "
                                             "Windows-1252."));
    m_error->setWordWrap(true);
    QPalette errorPalette = m_error->palette();
    errorPalette.setColor(QPalette::WindowText, Qt::red);
    m_error->setPalette(errorPalette);
    m_error->hide();

    m_replaceButton = new QPushButton(QStringLiteral("Ersätt"));
    m_replaceButton->setObjectName(QStringLiteral("cmdReplace"));
    m_replaceButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("Avbryt"));
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton->setAutoDefault(false);
    connect(m_replaceButton, &QPushButton::clicked, this, &ReplaceDialog::replace);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_find, &QLineEdit::textChanged, this, &ReplaceDialog::updateState);
    connect(m_replacement, &QLineEdit::textChanged, this, &ReplaceDialog::updateState);

    auto *fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replacement, 1, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(frame);
    layout->addWidget(m_error);
    layout->addStretch();
    layout->addLayout(buttons);
}

void ReplaceDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_find->setFocus(Qt::OtherFocusReason);
}

void ReplaceDialog::updateState()
{
    const bool encodable = Replace::canReplaceWith(m_replacement->text());
    m_error->setVisible(!encodable);
    m_replaceButton->setEnabled(!m_find->text().isEmpty() && encodable);
}

void ReplaceDialog::replace()
{
    const Replace::Scope scope =
        m_selection->isChecked() ? Replace::Scope::Selection : Replace::Scope::ShownArticles;
    // Without a data row the dialog stays open.
    if (m_grid.rows() < 2)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<Replace::Result> result =
        Replace::replaceText(m_grid, scope, m_find->text(), m_replacement->text());
    QApplication::restoreOverrideCursor();
    if (!result)
        return;
    emit replaced(*result);
    emit gridEdited(Replace::scopeRange(m_grid, scope));
    accept();
}
