#include "sheet/SheetWriter.h"

#include "sheet/CsvWriter.h"
#include "sheet/XlsxWriter.h"

bool isXlsxPath(const QString &path)
{
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

std::unique_ptr<SheetWriter> makeSheetWriter(const QString &path, CsvSeparator separator)
{
    if (isXlsxPath(path))
        return std::make_unique<XlsxWriter>(path);
    return std::make_unique<CsvWriter>(path, separator);
}
