#pragma once

#include "sheet/SheetData.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class QXmlStreamReader;

class ZipParts;

// Reads the sheets of an .xlsx workbook (a zip of XML parts) into rows of text, the way the
// spreadsheet shows them: shared and inline strings as they stand; numbers through their cell's
// number format (decimals from the format, "0.00" gives two; percent; dates as yyyy-MM-dd;
// General as the shortest exact form, whole numbers with every digit) with the decimal point
// the caller asks for; booleans SANT/FALSKT; empty cells as empty text; a merged range gives
// its value to every cell it covers, so a merged heading names each of its columns. The first
// row with a value is the heading row; empty rows are skipped.
//
// The zip is read through zlib (ZipParts). A file that is no zip, a password-protected workbook
// (stored encrypted in another container) and a damaged one throw AppError with a Swedish text.
class XlsxReader
{
public:
    explicit XlsxReader(const QString &path);
    ~XlsxReader();

    QStringList sheetNames() const { return m_sheetNames; }
    SheetTable read(int sheet = 0, QChar decimalPoint = u',') const;

    // A number as a cell with this format code shows it ("General", "0.00", "0%", "yyyy-mm-dd").
    static QString formatNumber(double value, const QString &formatCode, QChar decimalPoint,
                                bool date1904 = false);
    // The built-in format code a format number stands for (0-49); "General" for others.
    static QString builtinFormat(int id);

private:
    // The shown text of the cell whose start the reader stands on; reads to the cell's end.
    QString cellValue(QXmlStreamReader &xml, QChar decimalPoint) const;
    QByteArray part(const QString &name) const;
    void readWorkbook();
    void readSharedStrings();
    void readStyles();

    QString m_path;
    std::unique_ptr<ZipParts> m_zip;
    QStringList m_sheetNames;
    QStringList m_sheetParts;
    QStringList m_shared;
    QStringList m_cellFormats; // per style index: its format code
    bool m_date1904 = false;
};
