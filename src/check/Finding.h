#pragma once

#include <QList>
#include <QString>

// How much a finding matters for the drawings, in rising order.
enum class Severity { Info, Warning, Error };

// "fel", "varning", "info": the words the user sees and the command line accepts.
QString severityName(Severity severity);
// False when the word is none of the three.
bool severityFromName(const QString &name, Severity *severity);

// One fault the check found, and where: the table, the group (BL_NAME), the row number (RAD),
// the type (TYP) and the field. Parts that do not apply are empty (row: -1).
struct Finding
{
    QString ruleId; // stable, short ASCII: what scripts and the user guide refer to
    Severity severity = Severity::Error;
    QString message; // Swedish
    QString table;
    QString blockName;
    qint64 row = -1;
    QString type;
    QString field;

    bool operator==(const Finding &other) const = default;
};

using Findings = QList<Finding>;
