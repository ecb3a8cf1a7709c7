#pragma once

#include "sheet/SheetExport.h"
#include "sheet/SheetWriter.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QRadioButton;

// The choices of "Exportera till kalkylblad": the whole view or the selected rows, one sheet or
// a sheet per group (a workbook of the whole catalogue only), and the separator of a CSV file.
// Choices that do not apply to the file and view are not offered; selected rows are chosen
// when there are any.
class SheetExportDialog : public QDialog
{
    Q_OBJECT
public:
    struct Options
    {
        bool selectedOnly = false;
        SheetExport::Layout layout = SheetExport::Layout::OneSheet;
        CsvSeparator separator = CsvSeparator::Semicolon;
    };

    // `csv`: the file is CSV (else a workbook); `selection`: rows are selected;
    // `wholeCatalogue`: the overview is shown.
    SheetExportDialog(bool csv, bool selection, bool wholeCatalogue, QWidget *parent = nullptr);

    Options options() const;
    QRadioButton *selectedRows() const { return m_selected; }
    QRadioButton *sheetPerGroup() const { return m_perGroup; }
    QComboBox *separatorChoice() const { return m_separator; }

private:
    void follow();

    bool m_wholeCatalogue;
    QRadioButton *m_whole = nullptr;
    QRadioButton *m_selected = nullptr;
    QRadioButton *m_oneSheet = nullptr;
    QRadioButton *m_perGroup = nullptr;
    QComboBox *m_separator = nullptr;
};
