#include "edit/PrefixChange.h"

#include "browse/ArticleSelection.h"
#include "core/AppError.h"
#include "core/Prompter.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <algorithm>

namespace PrefixChange {

namespace {

const QString kWindow = QStringLiteral("frmChangePrefix");
const QString kProcedure = QStringLiteral("cmdApply");

// A block name is a key: a missing one stays missing. The references are texts, and an empty
// one is stored as empty text, as the dialog always did.
struct RenamedColumn
{
    const char *table;
    const char *column;
    bool nullAsEmpty;
};

// clang-format off
constexpr RenamedColumn kColumns[] = {
    {Schema::kArticles, "BL_NAME", false},
    {Schema::kArticles, "TBH/APP", true},
    {Schema::kDesignations, "BL_NAME", false},
    {Schema::kEqv, "BL_NAME", false},
    {Schema::kEqv, "BENÄMNING", true},
};
// clang-format on

} // namespace

QString currentPrefix(Database &db)
{
    // The export writes this prefix too; both must read the same one.
    const QVariant greatest =
        db.scalar(QStringLiteral("SELECT MAX(BL_NAME COLLATE SV) FROM Designations"));
    return greatest.isValid() ? greatest.toString().left(kPrefixLength) : QString();
}

bool isPrefixCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'-' || u == u'@' || u == u'_' || (u >= u'A' && u <= u'Z') ||
           (u >= u'a' && u <= u'z');
}

bool acceptableInput(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), isPrefixCharacter);
}

NewPrefix checkNewPrefix(const QString &oldPrefix, const QString &typed)
{
    if (typed == oldPrefix || typed.size() != kPrefixLength || oldPrefix.size() != kPrefixLength)
        return {typed, false};
    // The old prefix is shown as the database has it: upper-casing it too would make the rename
    // look for a prefix that no block name of a lower-case library contains.
    const QString upper = typed.toUpper();
    return {upper, upper != oldPrefix};
}

QStringList renameStatements(Database &db)
{
    QStringList statements;
    for (const char *table : {Schema::kArticles, Schema::kDesignations, Schema::kEqv}) {
        QStringList assignments;
        QStringList changing;
        for (const RenamedColumn &renamed : kColumns) {
            if (qstrcmp(renamed.table, table) != 0)
                continue;
            const QString name = Schema::columnNamed(db, table, QString::fromUtf8(renamed.column));
            if (name.isEmpty())
                continue;
            const QString column = quoteIdentifier(name);
            const QString value =
                renamed.nullAsEmpty ? QStringLiteral("ifnull(%1, '')").arg(column) : column;
            assignments << QStringLiteral("%1 = replace(%2, ?1, ?2)").arg(column, value);
            // Rows with nothing to change are left alone, so their index entries stay put.
            changing << QStringLiteral("instr(%1, ?1) > 0").arg(column);
            if (renamed.nullAsEmpty)
                changing << QStringLiteral("%1 IS NULL").arg(column);
        }
        if (assignments.isEmpty())
            continue;
        statements << QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(quoteIdentifier(QString::fromLatin1(table)),
                               assignments.join(QStringLiteral(", ")),
                               changing.join(QStringLiteral(" OR ")));
    }
    return statements;
}

void rename(Database &db, const QString &oldPrefix, const QString &newPrefix)
{
    if (oldPrefix.isEmpty() || newPrefix.isEmpty())
        throw AppError(ErrorNumber::InvalidUseOfNull,
                       QStringLiteral("Både nuvarande och nytt bibliotek måste anges."));
    if (oldPrefix == newPrefix)
        return;
    Transaction transaction(db);
    for (const QString &sql : renameStatements(db))
        db.prepare(sql).bind(1, oldPrefix).bind(2, newPrefix).run();
    transaction.commit();
}

bool apply(Database &db, Prompter &prompter, const QString &oldPrefix, const QString &newPrefix,
           const std::function<void(bool)> &busy)
{
    bool failed = false;
    int number = 0;
    QString description;
    if (busy)
        busy(true);
    try {
        rename(db, oldPrefix, newPrefix);
    } catch (const AppError &e) {
        failed = true;
        number = e.number();
        description = e.description();
    } catch (const std::exception &e) {
        failed = true;
        number = ErrorNumber::Unexpected;
        description = QString::fromLocal8Bit(e.what());
    }
    if (busy)
        busy(false);
    if (!failed)
        return true;
    prompter.message(
        MessageIcon::None, QString(),
        errorMessage(kWindow, kProcedure, number, description) +
            QStringLiteral("\n\nBiblioteket har inte bytts, databasen är oförändrad."));
    return false;
}

ArticleSelection renamedSelection(const ArticleSelection &selection, const QString &oldPrefix,
                                  const QString &newPrefix)
{
    if (oldPrefix.isEmpty())
        return selection;
    const QString blockName = QString(selection.blockName()).replace(oldPrefix, newPrefix);
    switch (selection.kind()) {
    case ArticleSelection::Kind::Group:
        return ArticleSelection::group(blockName);
    case ArticleSelection::Kind::Manufacturer:
        return ArticleSelection::manufacturer(selection.manufacturerName(), blockName);
    case ArticleSelection::Kind::None:
    case ArticleSelection::Kind::Root:
        break;
    }
    return selection;
}

} // namespace PrefixChange
