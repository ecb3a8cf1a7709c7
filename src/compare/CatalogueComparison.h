#pragma once

#include "compare/CatalogueDifferences.h"
#include "db/FieldList.h"

#include <QString>
#include <QStringList>

class Database;
class Progress;
class Prompter;

// Compares two catalogues inside the engine: the second is attached to the first's connection
// and lines are paired with indexed joins over their keys, so only the differences reach C++.
class CatalogueComparison
{
public:
    explicit CatalogueComparison(Prompter &prompter) : m_prompter(prompter) {}

    // The fields articles pair by; BL_NAME and TYP unless set.
    void setKeyFields(const QStringList &fields) { m_keyFields = fields; }
    // The .tdx of every .tds given (see describingTdx).
    void setTdxPath(const QString &path) { m_tdxPath = path; }
    // Where a long comparison reports, so a window keeps repainting; none by default.
    void setProgress(Progress *progress) { m_progress = progress; }

    // A and B are each a .tdb or a .tds with its .tdx; neither is written. Throws AppError.
    CatalogueDifferences compare(const QString &pathA, const QString &pathB);

    // One side of a comparison on a connection: the attached schema and its fields.
    struct Side
    {
        QString schema;
        FieldList fields;
    };
    // The differences from `a` to `b`. The pairs stay in temp.<prefix>_pairs (ra, rb: rowids of
    // a's and b's Articles) for a caller that goes on with them. Throws AppError or DbError.
    static CatalogueDifferences compareAttached(Database &db, const Side &a, const Side &b,
                                                const QStringList &keyFields,
                                                const QString &prefix);

    static QStringList defaultKeyFields();

private:
    Prompter &m_prompter;
    QStringList m_keyFields = defaultKeyFields();
    QString m_tdxPath;
    Progress *m_progress = nullptr;
};
