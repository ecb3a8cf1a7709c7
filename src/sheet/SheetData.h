#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// A column of a written sheet: its heading and how wide it shows, in characters.
struct SheetColumn
{
    QString name;
    int width = 0;
};

// A table read from a list: the heading row, then the data rows, every cell as text. `lines`
// gives, per data row, the line (CSV) or row (XLSX) of the file it starts on, for messages.
struct SheetTable
{
    QStringList headings;
    std::vector<QStringList> rows;
    std::vector<int> lines;
};

// The most rows one sheet of an .xlsx holds, its heading row included.
inline constexpr int kXlsxMaxRows = 1048576;
// The longest sheet name a workbook allows.
inline constexpr int kSheetNameLength = 31;
