#pragma once

#include "sheet/SheetData.h"

#include <QString>
#include <QStringList>

// A supplier's list, told apart by its content rather than its name: a zip is a workbook, the
// container of a password-protected workbook (or an old .xls) is refused, text is CSV, other
// binary data is no spreadsheet. Failures throw AppError with a Swedish text.
namespace ListFile {

enum class Kind { Csv, Xlsx };

Kind kindOf(const QString &path);
// The sheets of a workbook; empty for CSV.
QStringList sheetNames(const QString &path);
SheetTable read(const QString &path, int sheet = 0, QChar decimalPoint = u',');

} // namespace ListFile
