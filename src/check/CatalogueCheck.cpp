#include "check/CatalogueCheck.h"

#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <algorithm>

CatalogueCheck::CatalogueCheck(Database &db, const QString &accessoryPrefix)
    : m_db(db), m_accessoryPrefix(accessoryPrefix)
{
}

Findings CatalogueCheck::run()
{
    // Said in Swedish here, not as the engine's "no such column" halfway through.
    for (const char *table : {Schema::kArticles, Schema::kEqv, Schema::kDesignations})
        Schema::requiredColumn(m_db, table, Schema::kBlockName);
    Schema::requiredColumn(m_db, Schema::kArticles, Schema::kRowNumber);
    Schema::requiredColumn(m_db, Schema::kEqv, Schema::kRowNumber);
    Schema::requiredColumn(m_db, Schema::kDesignations, Schema::kDescription);

    CheckContext context{m_db,
                         m_accessoryPrefix,
                         Schema::columnNamed(m_db, Schema::kArticles, Schema::kType),
                         Schema::columnNamed(m_db, Schema::kArticles, Schema::kDesignation),
                         Schema::columnNamed(m_db, Schema::kEqv, Schema::kDesignation),
                         {}};
    CheckRules::groups(context);
    CheckRules::references(context);
    CheckRules::contacts(context);
    CheckRules::values(context);
    CheckRules::articleNumbers(context);
    return context.findings;
}

Findings atLeast(const Findings &findings, Severity least)
{
    Findings kept;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(kept),
                 [least](const Finding &finding) { return finding.severity >= least; });
    return kept;
}
