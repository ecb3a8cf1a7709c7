#include "dialogs/SheetExportDialog.h"

#include "ui/FormParts.h"
#include "ui/Theme.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton *radio(const char *name, const QString &caption)
{
    auto *button = new QRadioButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

QGroupBox *group(const char *name, const QString &title, QRadioButton *first, QRadioButton *second)
{
    auto *box = new QGroupBox(title);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    return box;
}

} // namespace

SheetExportDialog::SheetExportDialog(bool csv, bool selection, bool wholeCatalogue, QWidget *parent)
    : QDialog(parent), m_wholeCatalogue(wholeCatalogue)
{
    setObjectName(QStringLiteral("frmSheetExport"));
    setWindowTitle(QStringLiteral("Exportera till kalkylblad"));
    setModal(true);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    m_whole = radio("optWholeView", QStringLiteral("&Hela vyn"));
    m_selected = radio("optSelectedRows", QStringLiteral("&Markerade rader"));
    // Rows selected before the command are most likely the ones wanted.
    (selection ? m_selected : m_whole)->setChecked(true);
    m_selected->setEnabled(selection);
    m_oneSheet = radio("optOneSheet", QStringLiteral("&Ett blad"));
    m_perGroup = radio("optSheetPerGroup", QStringLiteral("Ett blad &per grupp"));
    m_oneSheet->setChecked(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group("fraScope", QStringLiteral("Vad"), m_whole, m_selected));
    QGroupBox *sheets = group("fraSheets", QStringLiteral("Blad"), m_oneSheet, m_perGroup);
    // A CSV file holds one table; a group's sheet only makes sense for the whole catalogue.
    sheets->setVisible(!csv && wholeCatalogue);
    layout->addWidget(sheets);

    m_separator = new QComboBox;
    m_separator->setObjectName(QStringLiteral("cboSeparator"));
    m_separator->addItem(QStringLiteral("Semikolon ( ; )"), int(CsvSeparator::Semicolon));
    m_separator->addItem(QStringLiteral("Komma ( , )"), int(CsvSeparator::Comma));
    m_separator->addItem(QStringLiteral("Tabb"), int(CsvSeparator::Tab));
    auto *separatorRow = new QFormLayout;
    QLabel *separatorLabel = buddyLabel("lblSeparator", QStringLiteral("&Avgränsare"), m_separator);
    separatorRow->addRow(separatorLabel, m_separator);
    separatorLabel->setVisible(csv);
    m_separator->setVisible(csv);
    layout->addLayout(separatorRow);

    auto *buttons = new QDialogButtonBox;
    buttons->setObjectName(QStringLiteral("buttonBox"));
    QPushButton *ok =
        buttons->addButton(QStringLiteral("&Exportera"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdExport"));
    ok->setAccessibleName(QStringLiteral("Exportera"));
    ok->setDefault(true);
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("A&vbryt"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdAvbryt"));
    cancel->setAccessibleName(QStringLiteral("Avbryt"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_selected, &QRadioButton::toggled, this, &SheetExportDialog::follow);
    follow();
    ApplyThemeColours(this, 0);
}

void SheetExportDialog::follow()
{
    // The selected rows go to one sheet, as the view shows them.
    m_perGroup->setEnabled(m_wholeCatalogue && !m_selected->isChecked());
    if (!m_perGroup->isEnabled())
        m_oneSheet->setChecked(true);
}

SheetExportDialog::Options SheetExportDialog::options() const
{
    Options chosen;
    chosen.selectedOnly = m_selected->isChecked();
    chosen.layout = m_perGroup->isChecked() && m_perGroup->isEnabled()
                        ? SheetExport::Layout::SheetPerGroup
                        : SheetExport::Layout::OneSheet;
    chosen.separator = CsvSeparator(m_separator->currentData().toInt());
    return chosen;
}
