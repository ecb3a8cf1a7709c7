#pragma once

#include "check/Finding.h"
#include "db/Database.h"

#include <QString>

// What every rule needs: the connection, the spelling of the columns with a meaning of their
// own (empty when a table lacks one), and the findings so far.
struct CheckContext
{
    Database &db;
    QString accessoryPrefix;
    QString articleType;        // TYP of Articles
    QString articleDesignation; // BENÄMNING of Articles
    QString eqvDesignation;     // BENÄMNING of Eqv
    Findings findings;

    // Adds a finding of `rule` located in a row of `table`.
    void add(const char *rule, Severity severity, const QString &message, const QString &table,
             const QString &blockName, qint64 row = -1, const QString &type = {},
             const QString &field = {})
    {
        findings.append(
            {QLatin1String(rule), severity, message, table, blockName, row, type, field});
    }

    // The type column of Articles as an SQL expression: NULL when the table has none.
    QString typeExpression() const
    {
        return articleType.isEmpty() ? QStringLiteral("NULL") : quoteIdentifier(articleType);
    }
};

// A row number read from a query; -1 for none.
inline qint64 rowNumberAt(const Statement &row, int column)
{
    return row.isNull(column) ? -1 : row.int64(column);
}
