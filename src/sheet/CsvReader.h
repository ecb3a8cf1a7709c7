#pragma once

#include "sheet/SheetData.h"

#include <QByteArray>
#include <QString>

// Reads a CSV list as spreadsheets and suppliers write it: the encoding found (UTF-8 with or
// without byte-order mark, else Windows-1252), the separator found (";", "," or tab, whichever
// the heading line holds most of outside quotes), RFC 4180 quoting with doubled quotes and line
// breaks inside quotes. Blank lines are skipped. A row with another number of values than the
// heading line, or a quote never closed, throws AppError naming the line.
namespace CsvReader {

SheetTable read(const QByteArray &bytes);
// Reads the file; a file that cannot be read throws FileError.
SheetTable readFile(const QString &path);

QString decode(const QByteArray &bytes);
QChar findSeparator(QStringView text);

} // namespace CsvReader
