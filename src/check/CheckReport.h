#pragma once

#include "check/Finding.h"

#include <QByteArray>
#include <QString>

// The findings of a check as a person or a script reads them.
namespace CheckReport {

// "ABCDI010, rad 2, typ 1, fält TYP": the parts of the location that apply.
QString location(const Finding &finding);

// One line per finding ("fel type-duplicate ABCDI010, rad 2, ...: message"), then a line that
// counts them by severity.
QString text(const Findings &findings);

// {"file": ..., "counts": {"fel": n, "varning": n, "info": n}, "findings": [{"rule", "severity",
// "message", "table", "group", "row", "type", "field"}, ...]}; absent location parts are null.
QByteArray json(const Findings &findings, const QString &file);

} // namespace CheckReport
