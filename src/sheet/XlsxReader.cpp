#include "sheet/XlsxReader.h"

#include "core/AppError.h"
#include "sheet/ZipParts.h"

#include <QDate>
#include <QFile>
#include <QXmlStreamReader>

#include <cmath>
#include <map>

namespace {

[[noreturn]] void damaged(const QString &path, const QString &why = {})
{
    throw AppError(ErrorNumber::BadFileFormat,
                   QStringLiteral("Filen %1 är skadad och kan inte läsas som kalkylblad%2.")
                       .arg(path, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
}

// Column index (from 0) and row (from 1) of a reference such as "AB12"; -1 when absent.
void parseReference(QStringView ref, int *column, int *row)
{
    int c = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i)
        c = c * 26 + (ref.at(i).toUpper().unicode() - 'A' + 1);
    *column = i > 0 ? c - 1 : -1;
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    *row = ok ? r : -1;
}

// The text of the current element's <t> children, leaving out phonetic runs.
QString readText(QXmlStreamReader &xml)
{
    QString text;
    const QStringView end = xml.name();
    const QString endName = end.toString();
    int phonetic = 0;
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement() && xml.name() == endName && phonetic == 0)
            break;
        if (xml.isStartElement() && xml.name() == u"rPh")
            ++phonetic;
        else if (xml.isEndElement() && xml.name() == u"rPh")
            --phonetic;
        else if (xml.isStartElement() && xml.name() == u"t" && phonetic == 0)
            text += xml.readElementText();
    }
    return text;
}

// The format code without quoted text, escapes, fills and [colour] parts; its first section.
QString bareFormat(const QString &code)
{
    QString out;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'[') {
            ++bracket;
        } else if (c == u']') {
            bracket = qMax(0, bracket - 1);
        } else if (bracket > 0) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u';') {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

QString withPoint(QString number, QChar point)
{
    number.replace(u'.', point);
    return number;
}

} // namespace

XlsxReader::XlsxReader(const QString &path) : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(ErrorNumber::FileNotFound,
                        QStringLiteral("Kan ej läsa %1: %2").arg(path, file.errorString()));
    const QByteArray magic = file.read(8);
    if (magic.startsWith("\xD0\xCF\x11\xE0"))
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Filen %1 är lösenordsskyddad eller i det äldre "
                                      ".xls-formatet. Spara den som .xlsx utan lösenord och "
                                      "försök igen.")
                           .arg(path));
    if (!magic.startsWith("PK"))
        throw AppError(
            ErrorNumber::BadFileFormat,
            QStringLiteral("Filen %1 är inte ett kalkylblad (.xlsx eller .csv).").arg(path));
    file.seek(0);
    m_zip = std::make_unique<ZipParts>(file.readAll());
    if (m_zip->status() != ZipParts::Status::Ok)
        damaged(path);
    readWorkbook();
    readSharedStrings();
    readStyles();
}

XlsxReader::~XlsxReader() = default;

QByteArray XlsxReader::part(const QString &name) const
{
    ZipParts::Status status = ZipParts::Status::Ok;
    const QByteArray bytes = m_zip->part(name, &status);
    if (status == ZipParts::Status::Encrypted)
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Filen %1 är lösenordsskyddad. Spara den utan lösenord "
                                      "och försök igen.")
                           .arg(m_path));
    if (status != ZipParts::Status::Ok)
        damaged(m_path, name);
    return bytes;
}

void XlsxReader::readWorkbook()
{
    const QByteArray workbook = part(QStringLiteral("xl/workbook.xml"));
    if (workbook.isEmpty())
        damaged(m_path, QStringLiteral("arbetsboken saknas"));
    QHash<QString, QString> targets;
    QXmlStreamReader rels(part(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == u"Relationship")
            targets.insert(rels.attributes().value(QLatin1String("Id")).toString(),
                           rels.attributes().value(QLatin1String("Target")).toString());
    }
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"workbookPr") {
            const QStringView d = xml.attributes().value(QLatin1String("date1904"));
            m_date1904 = d == u"1" || d == u"true";
        } else if (xml.name() == u"sheet") {
            QString id;
            for (const QXmlStreamAttribute &a : xml.attributes()) {
                if (a.name() == u"id")
                    id = a.value().toString();
            }
            QString target = targets.value(id);
            if (target.isEmpty())
                continue;
            target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            m_sheetNames << xml.attributes().value(QLatin1String("name")).toString();
            m_sheetParts << target;
        }
    }
    if (xml.hasError())
        damaged(m_path, xml.errorString());
    if (m_sheetParts.isEmpty())
        damaged(m_path, QStringLiteral("inga blad"));
}

void XlsxReader::readSharedStrings()
{
    QXmlStreamReader xml(part(QStringLiteral("xl/sharedStrings.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            m_shared << readText(xml);
    }
}

void XlsxReader::readStyles()
{
    QHash<int, QString> custom;
    QXmlStreamReader xml(part(QStringLiteral("xl/styles.xml")));
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt") {
            custom.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                          xml.attributes().value(QLatin1String("formatCode")).toString());
        } else if (xml.isStartElement() && xml.name() == u"cellXfs") {
            inCellXfs = true;
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        } else if (inCellXfs && xml.isStartElement() && xml.name() == u"xf") {
            const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
            m_cellFormats << custom.value(id, builtinFormat(id));
        }
    }
}

QString XlsxReader::builtinFormat(int id)
{
    switch (id) {
    case 1:
    case 3:
    case 37:
    case 38:
        return QStringLiteral("0");
    case 2:
    case 4:
    case 39:
    case 40:
        return QStringLiteral("0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 14:
    case 15:
    case 16:
    case 17:
        return QStringLiteral("yyyy-mm-dd");
    case 18:
    case 19:
    case 20:
    case 21:
    case 45:
    case 46:
    case 47:
        return QStringLiteral("hh:mm:ss");
    case 22:
        return QStringLiteral("yyyy-mm-dd hh:mm");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("General");
    }
}

QString XlsxReader::formatNumber(double value, const QString &formatCode, QChar decimalPoint,
                                 bool date1904)
{
    const QString bare = bareFormat(formatCode);
    const QString lower = bare.toLower();
    const bool general =
        lower.isEmpty() || lower.contains(QLatin1String("general")) || lower == QLatin1String("@");
    const bool hasDate = !general && (lower.contains(u'y') || lower.contains(u'd'));
    const bool hasTime = !general && (lower.contains(u'h') || lower.contains(u's'));
    if (hasDate || hasTime) {
        const QDate epoch = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
        const double days = std::floor(value);
        const qint64 seconds = qRound64((value - days) * 86400.0);
        const QDate date = epoch.addDays(qint64(days));
        const QString time = QStringLiteral("%1:%2:%3")
                                 .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                 .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        if (hasDate && hasTime)
            return date.toString(Qt::ISODate) + u' ' + time.left(5);
        return hasDate ? date.toString(Qt::ISODate) : time;
    }
    if (general) {
        if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
            return QString::number(qint64(value));
        return withPoint(QString::number(value, 'g', 15), decimalPoint);
    }
    const bool percent = bare.contains(u'%');
    const qsizetype point = bare.indexOf(u'.');
    int decimals = 0;
    for (qsizetype i = point + 1; point >= 0 && i < bare.size(); ++i) {
        const QChar c = bare.at(i);
        if (c == u'0' || c == u'#' || c == u'?')
            ++decimals;
        else
            break;
    }
    const double shown = percent ? value * 100.0 : value;
    return withPoint(QString::number(shown, 'f', decimals), decimalPoint) +
           (percent ? QStringLiteral("%") : QString());
}

QString XlsxReader::cellValue(QXmlStreamReader &xml, QChar decimalPoint) const
{
    const QString type = xml.attributes().value(QLatin1String("t")).toString();
    const int style = xml.attributes().value(QLatin1String("s")).toInt();
    QString value;
    QString raw;
    bool hasValue = false;
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement() && xml.name() == u"c")
            break;
        if (xml.isStartElement() && xml.name() == u"v") {
            raw = xml.readElementText();
            hasValue = true;
        } else if (xml.isStartElement() && xml.name() == u"is") {
            value = readText(xml);
        }
    }
    if (type == u"s") {
        const int index = raw.toInt();
        if (hasValue && (index < 0 || index >= m_shared.size()))
            damaged(m_path, QStringLiteral("en text saknas"));
        return hasValue ? m_shared.at(index) : QString();
    }
    if (type == u"b")
        return hasValue ? (raw == u"1" ? QStringLiteral("SANT") : QStringLiteral("FALSKT"))
                        : QString();
    if (type == u"str" || type == u"e")
        return raw;
    if (type != u"inlineStr" && hasValue) {
        bool ok = false;
        const double number = raw.toDouble(&ok);
        return ok ? formatNumber(number, m_cellFormats.value(style), decimalPoint, m_date1904)
                  : raw;
    }
    return value;
}

SheetTable XlsxReader::read(int sheet, QChar decimalPoint) const
{
    if (sheet < 0 || sheet >= m_sheetParts.size())
        damaged(m_path, QStringLiteral("bladet saknas"));
    const QByteArray bytes = part(m_sheetParts.at(sheet));
    if (bytes.isEmpty())
        damaged(m_path, m_sheetNames.at(sheet));
    std::map<int, QStringList> cells; // by row from 1
    struct Merge
    {
        int r1, c1, r2, c2;
    };
    QList<Merge> merges;
    QXmlStreamReader xml(bytes);
    int row = 0;
    int column = -1;
    int width = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            bool ok = false;
            const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok ? r : row + 1;
            column = -1;
        } else if (xml.name() == u"c") {
            int c = -1, r = -1;
            parseReference(xml.attributes().value(QLatin1String("r")), &c, &r);
            column = c >= 0 ? c : column + 1;
            const QString value = cellValue(xml, decimalPoint);
            if (value.isEmpty() || row <= 0 || column < 0 || column > 16383)
                continue;
            QStringList &line = cells[row];
            while (line.size() <= column)
                line << QString();
            line[column] = value;
            width = qMax(width, column + 1);
        } else if (xml.name() == u"mergeCell") {
            const QStringList ends =
                xml.attributes().value(QLatin1String("ref")).toString().split(u':');
            if (ends.size() != 2)
                continue;
            Merge m{};
            parseReference(ends.at(0), &m.c1, &m.r1);
            parseReference(ends.at(1), &m.c2, &m.r2);
            if (m.c1 >= 0 && m.r1 > 0 && m.c2 >= m.c1 && m.r2 >= m.r1 && m.c2 < 16384)
                merges << m;
        }
    }
    if (xml.hasError())
        damaged(m_path, xml.errorString());
    for (const Merge &m : merges) {
        const auto first = cells.find(m.r1);
        if (first == cells.end() || first->second.size() <= m.c1)
            continue;
        const QString value = first->second.at(m.c1);
        for (int r = m.r1; r <= m.r2; ++r) {
            QStringList &line = cells[r];
            while (line.size() <= m.c2)
                line << QString();
            for (int c = m.c1; c <= m.c2; ++c)
                line[c] = value;
        }
        width = qMax(width, m.c2 + 1);
    }
    SheetTable table;
    for (auto &[r, line] : cells) {
        while (line.size() < width)
            line << QString();
        if (table.headings.isEmpty()) {
            table.headings = line;
            continue;
        }
        table.rows.push_back(line);
        table.lines.push_back(r);
    }
    return table;
}
