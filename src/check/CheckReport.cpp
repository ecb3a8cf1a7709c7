#include "check/CheckReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

std::array<int, 3> countBySeverity(const Findings &findings)
{
    std::array<int, 3> counts{};
    for (const Finding &finding : findings)
        ++counts[size_t(finding.severity)];
    return counts;
}

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

namespace CheckReport {

QString location(const Finding &finding)
{
    QStringList parts;
    if (!finding.blockName.isEmpty())
        parts << finding.blockName;
    else if (!finding.table.isEmpty())
        parts << finding.table;
    if (finding.row >= 0)
        parts << QStringLiteral("rad %1").arg(finding.row);
    if (!finding.type.isEmpty())
        parts << QStringLiteral("typ %1").arg(finding.type);
    if (!finding.field.isEmpty())
        parts << QStringLiteral("fält %1").arg(finding.field);
    return parts.join(QStringLiteral(", "));
}

QString text(const Findings &findings)
{
    QString out;
    for (const Finding &finding : findings)
        out += QStringLiteral("%1 %2 %3: %4\n")
                   .arg(severityName(finding.severity), finding.ruleId, location(finding),
                        finding.message);
    const std::array<int, 3> counts = countBySeverity(findings);
    out += QStringLiteral("%1 fel, %2 varningar, %3 info\n")
               .arg(counts[size_t(Severity::Error)])
               .arg(counts[size_t(Severity::Warning)])
               .arg(counts[size_t(Severity::Info)]);
    return out;
}

QByteArray json(const Findings &findings, const QString &file)
{
    QJsonArray list;
    for (const Finding &finding : findings) {
        list.append(QJsonObject{
            {QStringLiteral("rule"), finding.ruleId},
            {QStringLiteral("severity"), severityName(finding.severity)},
            {QStringLiteral("message"), finding.message},
            {QStringLiteral("table"), textOrNull(finding.table)},
            {QStringLiteral("group"), textOrNull(finding.blockName)},
            {QStringLiteral("row"), finding.row >= 0 ? QJsonValue(finding.row) : QJsonValue()},
            {QStringLiteral("type"), textOrNull(finding.type)},
            {QStringLiteral("field"), textOrNull(finding.field)},
        });
    }
    const std::array<int, 3> counts = countBySeverity(findings);
    QJsonObject countObject;
    for (const Severity s : {Severity::Error, Severity::Warning, Severity::Info})
        countObject.insert(severityName(s), counts[size_t(s)]);
    const QJsonObject root{{QStringLiteral("file"), file},
                           {QStringLiteral("counts"), countObject},
                           {QStringLiteral("findings"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace CheckReport
