#pragma once

#include "sheet/SheetData.h"

#include <QString>
#include <QStringList>

#include <memory>

// Writes rows of text to a spreadsheet file, one sheet at a time. Nothing reaches the target
// path until finish() succeeds; an object destroyed before that leaves the old file as it was.
// Failures throw AppError with a Swedish text.
class SheetWriter
{
public:
    virtual ~SheetWriter() = default;
    // Starts a sheet with its heading row; a format holding one table (CSV) writes the first
    // heading row only and goes on with the rows of later sheets.
    virtual void beginSheet(const QString &name, const QList<SheetColumn> &columns) = 0;
    virtual void addRow(const QStringList &values) = 0;
    virtual void finish() = 0;
    // Whether the format keeps sheets apart.
    virtual bool holdsSheets() const = 0;
};

// The separator between CSV values: ";" is what a Swedish spreadsheet opens by double-click.
enum class CsvSeparator { Semicolon, Comma, Tab };

QChar separatorChar(CsvSeparator separator);

// A writer chosen by the path's extension: .xlsx, else CSV with the separator given.
std::unique_ptr<SheetWriter> makeSheetWriter(const QString &path,
                                             CsvSeparator separator = CsvSeparator::Semicolon);
bool isXlsxPath(const QString &path);
