#include "check/CheckFix.h"

#include "check/Finding.h"
#include "db/Schema.h"

CheckFix certainFixFor(const Finding &finding)
{
    // Only the article table is shown in the grid and has field lengths the user can change.
    if (finding.table != QLatin1String(Schema::kArticles) || finding.blockName.isEmpty())
        return CheckFix::None;
    if (finding.ruleId == QLatin1String("row-number-duplicate"))
        return CheckFix::RenumberGroup;
    if (finding.ruleId == QLatin1String("value-leading-space") && finding.row >= 0 &&
        !finding.field.isEmpty())
        return CheckFix::RemoveLeadingSpaces;
    if (finding.ruleId == QLatin1String("value-too-long") && !finding.field.isEmpty())
        return CheckFix::WidenField;
    return CheckFix::None;
}

QString fixCaption(CheckFix fix)
{
    switch (fix) {
    case CheckFix::None:
        break;
    case CheckFix::RenumberGroup:
        return QStringLiteral("Numrera om gruppens rader");
    case CheckFix::RemoveLeadingSpaces:
        return QStringLiteral("Ta bort inledande mellanslag");
    case CheckFix::WidenField:
        return QStringLiteral("Bredda fältet…");
    }
    return {};
}
