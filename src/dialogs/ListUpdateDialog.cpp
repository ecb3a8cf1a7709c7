#include "dialogs/ListUpdateDialog.h"

#include "browse/ArticleGrid.h"
#include "core/AppError.h"
#include "core/Prompter.h"
#include "db/Schema.h"
#include "sheet/ChangePreviewModel.h"
#include "sheet/HeadingMapping.h"
#include "sheet/ListFile.h"
#include "sheet/ListUpdate.h"
#include "ui/ChangePreviewView.h"
#include "ui/FormParts.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultHeightTwips = 9000;
constexpr int kDefaultWidthTwips = 15000;

const QString kUnused = QStringLiteral("(används inte)");

QString keyText(const QStringList &fields)
{
    return fields.join(QStringLiteral(" + "));
}

} // namespace

ListUpdateDialog::ListUpdateDialog(const ArticleGrid &grid, const FieldList &fields,
                                   const QString &path, const QStringList &sheets, SheetTable table,
                                   Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_grid(grid), m_fields(fields), m_path(path), m_prompter(prompter),
      m_table(std::move(table)), m_decimalPoint(ListUpdate::decimalPointOf(grid))
{
    setObjectName(QStringLiteral("frmListUpdate"));
    setWindowTitle(QStringLiteral("Uppdatera från lista - %1").arg(QFileInfo(path).fileName()));
    setModal(true);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());
    for (const FieldDesc &field : fields) {
        if (!Schema::isProtectedColumn(field.Name))
            m_choices << field.Name;
    }
    buildControls(sheets);
    fillMapping();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    ApplyThemeColours(this, 0);
}

void ListUpdateDialog::buildControls(const QStringList &sheets)
{
    m_sheet = new QComboBox;
    m_sheet->setObjectName(QStringLiteral("cboSheet"));
    m_sheet->addItems(sheets);
    connect(m_sheet, &QComboBox::activated, this, &ListUpdateDialog::readSheet);
    QLabel *sheetLabel = buddyLabel("lblSheet", QStringLiteral("&Blad"), m_sheet);
    // A CSV or a workbook of one sheet leaves nothing to choose.
    m_sheet->setVisible(sheets.size() > 1);
    sheetLabel->setVisible(sheets.size() > 1);

    m_key = new QComboBox;
    m_key->setObjectName(QStringLiteral("cboKey"));
    const QStringList both{Schema::kManufacturer, Schema::kArticleNumber};
    m_key->addItem(keyText(both), both);
    m_key->addItem(Schema::kArticleNumber, QStringList{Schema::kArticleNumber});
    connect(m_key, &QComboBox::activated, this, &ListUpdateDialog::propose);

    m_mapping = new QTableWidget(0, 2);
    m_mapping->setObjectName(QStringLiteral("tblMapping"));
    m_mapping->setAccessibleName(QStringLiteral("Kolumner"));
    m_mapping->setHorizontalHeaderLabels(
        {QStringLiteral("Kolumn i listan"), QStringLiteral("Fält")});
    m_mapping->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_mapping->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_mapping->verticalHeader()->hide();
    m_mapping->setSelectionMode(QAbstractItemView::NoSelection);
    m_mapping->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("lblProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));

    auto *choices = new QGridLayout;
    choices->addWidget(sheetLabel, 0, 0);
    choices->addWidget(m_sheet, 0, 1);
    choices->addWidget(buddyLabel("lblKey", QStringLiteral("&Nyckel"), m_key), 1, 0);
    choices->addWidget(m_key, 1, 1);
    choices->setColumnStretch(1, 1);

    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(choices);
    leftLayout->addWidget(new QLabel(QStringLiteral("Listans kolumner och fälten de fyller:")));
    leftLayout->addWidget(m_mapping, 1);

    m_preview = new ChangePreviewView;
    m_preview->setObjectName(QStringLiteral("changePreview"));
    connect(m_preview, &ChangePreviewView::takeRequested, this,
            [this] { emit takeRequested(m_preview->model()->proposals()); });

    auto *split = new QSplitter;
    split->addWidget(left);
    split->addWidget(m_preview);
    split->setStretchFactor(1, 2);

    auto *close = new QPushButton(QStringLiteral("&Stäng"));
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAccessibleName(QStringLiteral("Stäng"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_problem, 1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

QComboBox *ListUpdateDialog::fieldChoice(int listColumn) const
{
    return qobject_cast<QComboBox *>(m_mapping->cellWidget(listColumn, 1));
}

QStringList ListUpdateDialog::mapping() const
{
    QStringList out;
    for (int c = 0; c < m_mapping->rowCount(); ++c) {
        const QComboBox *box = fieldChoice(c);
        out << (box && box->currentIndex() > 0 ? box->currentText() : QString());
    }
    return out;
}

QStringList ListUpdateDialog::keyFields() const
{
    return m_key->currentData().toStringList();
}

QString ListUpdateDialog::problem() const
{
    return m_problem->text();
}

void ListUpdateDialog::readSheet(int sheet)
{
    if (sheet == m_shownSheet)
        return;
    try {
        m_table = ListFile::read(m_path, sheet, m_decimalPoint);
        m_shownSheet = sheet;
    } catch (const AppError &e) {
        m_prompter.warning(e.description(), windowTitle());
        const QSignalBlocker quiet(m_sheet);
        m_sheet->setCurrentIndex(m_shownSheet);
        return;
    }
    fillMapping();
}

void ListUpdateDialog::fillMapping()
{
    const QStringList found = HeadingMapping::map(m_table.headings, m_fields);
    m_mapping->setRowCount(int(m_table.headings.size()));
    for (int c = 0; c < m_table.headings.size(); ++c) {
        const QString heading = m_table.headings.at(c);
        auto *item =
            new QTableWidgetItem(heading.isEmpty() ? QStringLiteral("(%1)").arg(c + 1) : heading);
        m_mapping->setItem(c, 0, item);
        auto *box = new QComboBox;
        box->setObjectName(QStringLiteral("cboField%1").arg(c));
        box->setAccessibleName(QStringLiteral("Fält för %1").arg(item->text()));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItem(kUnused);
        box->addItems(m_choices);
        box->setCurrentIndex(qMax(0, box->findText(found.value(c))));
        connect(box, &QComboBox::activated, this, [this, c] { fieldEdited(c); });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, c] { fieldEdited(c); });
        m_mapping->setCellWidget(c, 1, box);
    }
    const QStringList key = HeadingMapping::defaultKey(found);
    m_key->setCurrentIndex(key.size() == 1 ? 1 : 0);
    propose();
}

void ListUpdateDialog::fieldEdited(int listColumn)
{
    QComboBox *box = fieldChoice(listColumn);
    if (!box)
        return;
    // A typed name or heading is read as the list's headings are; anything else leaves the
    // column unused.
    const QString typed = box->currentText();
    int index = box->findText(typed, Qt::MatchFixedString);
    if (index < 0)
        index = box->findText(HeadingMapping::fieldFor(typed, m_fields));
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(qMax(0, index));
    // A field takes one column: another column that named it lets it go.
    if (index > 0) {
        for (int c = 0; c < m_mapping->rowCount(); ++c) {
            QComboBox *other = fieldChoice(c);
            if (c != listColumn && other && other->currentIndex() == index) {
                const QSignalBlocker otherQuiet(other);
                other->setCurrentIndex(0);
            }
        }
    }
    propose();
}

void ListUpdateDialog::propose()
{
    Proposals proposals;
    try {
        proposals = ListUpdate::propose(m_grid, m_table, mapping(), keyFields());
        m_problem->clear();
    } catch (const AppError &e) {
        m_problem->setText(e.description());
    }
    m_preview->setProposals(std::move(proposals));
}
