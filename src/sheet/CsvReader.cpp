#include "sheet/CsvReader.h"

#include "core/AppError.h"
#include "core/Cp1252.h"

#include <QFile>
#include <QStringDecoder>

namespace CsvReader {

QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1252::decode(bytes);
}

QChar findSeparator(QStringView text)
{
    qsizetype semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u';')
            ++semicolons;
        else if (c == u',')
            ++commas;
        else if (c == u'\t')
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        return u'\t';
    if (commas > semicolons)
        return u',';
    return u';';
}

SheetTable read(const QByteArray &bytes)
{
    const QString text = decode(bytes);
    const QChar separator = findSeparator(text);
    SheetTable table;
    QStringList record;
    QString value;
    bool quoted = false;     // inside quotes
    bool wasQuoted = false;  // the value began with a quote
    bool recordEmpty = true; // nothing but a line end so far
    int line = 1;
    int recordLine = 1;
    const auto endRecord = [&] {
        record << value;
        value.clear();
        if (!(recordEmpty && record.size() == 1)) {
            if (table.headings.isEmpty() && table.rows.empty()) {
                table.headings = record;
            } else {
                if (record.size() != table.headings.size())
                    throw AppError(ErrorNumber::BadFileFormat,
                                   QStringLiteral("Rad %1 har %2 värden, men rubrikraden har %3.")
                                       .arg(recordLine)
                                       .arg(record.size())
                                       .arg(table.headings.size()));
                table.rows.push_back(record);
                table.lines.push_back(recordLine);
            }
        }
        record.clear();
        recordEmpty = true;
        wasQuoted = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"') {
                    value += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text.at(i + 1) == u'\n')))
                    ++line;
                value += c;
            }
            continue;
        }
        if (c == u'"' && value.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            recordEmpty = false;
        } else if (c == separator) {
            record << value;
            value.clear();
            wasQuoted = false;
            recordEmpty = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            endRecord();
            ++line;
            recordLine = line;
        } else {
            value += c;
            recordEmpty = false;
        }
    }
    if (quoted)
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Citattecknet på rad %1 avslutas aldrig.").arg(recordLine));
    if (!recordEmpty || !value.isEmpty())
        endRecord();
    return table;
}

SheetTable readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(ErrorNumber::FileNotFound,
                        QStringLiteral("Kan ej läsa %1: %2").arg(path, file.errorString()));
    return read(file.readAll());
}

} // namespace CsvReader
