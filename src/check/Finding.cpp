#include "check/Finding.h"

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Info:
        return QStringLiteral("info");
    case Severity::Warning:
        return QStringLiteral("varning");
    case Severity::Error:
        break;
    }
    return QStringLiteral("fel");
}

bool severityFromName(const QString &name, Severity *severity)
{
    for (const Severity s : {Severity::Info, Severity::Warning, Severity::Error}) {
        if (name.compare(severityName(s), Qt::CaseInsensitive) == 0) {
            *severity = s;
            return true;
        }
    }
    return false;
}
