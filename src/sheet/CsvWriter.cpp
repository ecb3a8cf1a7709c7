#include "sheet/CsvWriter.h"

#include "core/AppError.h"

namespace {

bool needsQuotes(const QString &value, QChar separator)
{
    for (const QChar c : value) {
        if (c == separator || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

[[noreturn]] void failed(const QSaveFile &file)
{
    throw FileError(
        ErrorNumber::PermissionDenied,
        QStringLiteral("Kan ej skriva %1: %2").arg(file.fileName(), file.errorString()));
}

} // namespace

QChar separatorChar(CsvSeparator separator)
{
    switch (separator) {
    case CsvSeparator::Comma:
        return u',';
    case CsvSeparator::Tab:
        return u'\t';
    case CsvSeparator::Semicolon:
        break;
    }
    return u';';
}

CsvWriter::CsvWriter(const QString &path, CsvSeparator separator)
    : m_file(path), m_separator(separatorChar(separator))
{
    if (!m_file.open(QIODevice::WriteOnly))
        failed(m_file);
    m_buffer = QByteArrayLiteral("\xEF\xBB\xBF");
}

QString CsvWriter::line(const QStringList &values, QChar separator)
{
    QString out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += separator;
        const QString &value = values.at(i);
        if (needsQuotes(value, separator)) {
            out += u'"';
            out += QString(value).replace(u'"', QStringLiteral("\"\""));
            out += u'"';
        } else {
            out += value;
        }
    }
    return out;
}

void CsvWriter::beginSheet(const QString &, const QList<SheetColumn> &columns)
{
    if (m_headed)
        return;
    m_headed = true;
    QStringList names;
    for (const SheetColumn &column : columns)
        names << column.name;
    addRow(names);
}

void CsvWriter::addRow(const QStringList &values)
{
    write(line(values, m_separator) + QStringLiteral("\r\n"));
}

void CsvWriter::write(const QString &text)
{
    m_buffer += text.toUtf8();
    if (m_buffer.size() >= 1 << 20) {
        if (m_file.write(m_buffer) != m_buffer.size())
            failed(m_file);
        m_buffer.clear();
    }
}

void CsvWriter::finish()
{
    if (m_file.write(m_buffer) != m_buffer.size() || !m_file.commit())
        failed(m_file);
    m_buffer.clear();
}
