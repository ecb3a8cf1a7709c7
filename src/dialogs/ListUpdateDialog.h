#pragma once

#include "db/FieldList.h"
#include "sheet/ProposedChange.h"
#include "sheet/SheetData.h"

#include <QDialog>
#include <QStringList>

class ArticleGrid;
class ChangePreviewView;
class Prompter;
class QComboBox;
class QLabel;
class QTableWidget;

// "Uppdatera från lista": which sheet of the list is read, which field each of its columns fills
// (an editable choice per column, filled in from the headings), which fields pair list rows with
// articles, and the changes that follow, each of which can be left out. Nothing is written here:
// "Ta in markerade" hands the ticked changes on through takeRequested.
class ListUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    // `table` is the first sheet (or the CSV) already read; `sheets` names a workbook's sheets.
    ListUpdateDialog(const ArticleGrid &grid, const FieldList &fields, const QString &path,
                     const QStringList &sheets, SheetTable table, Prompter &prompter,
                     QWidget *parent = nullptr);

    // One field name per list column; empty where the column is not used.
    QStringList mapping() const;
    QStringList keyFields() const;
    ChangePreviewView *preview() const { return m_preview; }
    QComboBox *sheetChoice() const { return m_sheet; }
    QComboBox *keyChoice() const { return m_key; }
    QComboBox *fieldChoice(int listColumn) const;
    // Why no changes can be shown (no key column); empty when they are.
    QString problem() const;

signals:
    void takeRequested(const Proposals &proposals);

private:
    void buildControls(const QStringList &sheets);
    void readSheet(int sheet);
    void fillMapping();
    void fieldEdited(int listColumn);
    void propose();

    const ArticleGrid &m_grid;
    const FieldList &m_fields;
    QString m_path;
    Prompter &m_prompter;
    SheetTable m_table;
    QChar m_decimalPoint;
    QStringList m_choices; // the fields a list column can fill
    int m_shownSheet = 0;

    QComboBox *m_sheet = nullptr;
    QTableWidget *m_mapping = nullptr;
    QComboBox *m_key = nullptr;
    QLabel *m_problem = nullptr;
    ChangePreviewView *m_preview = nullptr;
};
