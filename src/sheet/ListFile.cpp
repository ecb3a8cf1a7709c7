#include "sheet/ListFile.h"

#include "core/AppError.h"
#include "sheet/CsvReader.h"
#include "sheet/XlsxReader.h"

#include <QFile>

namespace ListFile {

Kind kindOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(ErrorNumber::FileNotFound,
                        QStringLiteral("Kan ej läsa %1: %2").arg(path, file.errorString()));
    const QByteArray head = file.read(4096);
    if (head.startsWith("PK") || head.startsWith("\xD0\xCF\x11\xE0"))
        return Kind::Xlsx;
    if (head.contains('\0'))
        throw AppError(
            ErrorNumber::BadFileFormat,
            QStringLiteral("Filen %1 är inte ett kalkylblad (.xlsx eller .csv).").arg(path));
    return Kind::Csv;
}

QStringList sheetNames(const QString &path)
{
    if (kindOf(path) == Kind::Csv)
        return {};
    return XlsxReader(path).sheetNames();
}

SheetTable read(const QString &path, int sheet, QChar decimalPoint)
{
    if (kindOf(path) == Kind::Csv)
        return CsvReader::readFile(path);
    return XlsxReader(path).read(sheet, decimalPoint);
}

} // namespace ListFile
