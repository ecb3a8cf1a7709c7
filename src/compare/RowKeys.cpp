#include "compare/RowKeys.h"

#include "db/Database.h"
#include "db/Schema.h"

#include <sqlite3.h>

#include <optional>

namespace {

// LINE_DIGEST(v1, v2, ...): a 64-bit FNV-1a digest of the values, NULL as empty, each value
// closed by a byte no UTF-8 text holds. Lines pair by it far faster than by their whole text;
// what differs is then read from the values themselves, so a coinciding digest loses nothing.
void lineDigest(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    quint64 hash = 14695981039346656037ull;
    for (int i = 0; i < argc; ++i) {
        const unsigned char *text = sqlite3_value_text(argv[i]);
        const int length = sqlite3_value_bytes(argv[i]);
        for (int k = 0; k < length; ++k)
            hash = (hash ^ text[k]) * 1099511628211ull;
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    }
    sqlite3_result_int64(context, qint64(hash));
}

// The most values one call takes; wider lines fall back to their text.
constexpr int kMaxDigestArguments = 100;

void registerDigest(Database &db)
{
    const int rc = sqlite3_create_function(db.handle(), "LINE_DIGEST", -1,
                                           SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                           nullptr, lineDigest, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db.throwError(rc);
}

// LINE_DIGEST over the fields of alias t, after the given leading values; nothing for too many.
std::optional<QString> digestExpression(const QStringList &fields, const QStringList &leading = {})
{
    if (fields.size() + leading.size() > kMaxDigestArguments)
        return std::nullopt;
    QStringList values = leading;
    for (const QString &field : fields)
        values << QStringLiteral("t.%1").arg(quoteIdentifier(field));
    if (values.isEmpty())
        return QStringLiteral("0");
    return QStringLiteral("LINE_DIGEST(%1)").arg(values.join(QStringLiteral(", ")));
}

QString contentExpression(Database &db, const QStringList &fields)
{
    const std::optional<QString> digest = digestExpression(fields);
    if (fields.isEmpty() || !digest)
        return RowKeys::keyExpression(QStringLiteral("t"), fields);
    registerDigest(db);
    return *digest;
}

} // namespace

namespace RowKeys {

QString keyExpression(const QString &alias, const QStringList &fields)
{
    // quote() doubles every apostrophe, so "," separates the values unambiguously.
    QStringList parts;
    for (const QString &field : fields)
        parts << QStringLiteral("quote(IFNULL(%1.%2, ''))").arg(alias, quoteIdentifier(field));
    return parts.isEmpty() ? QStringLiteral("''") : parts.join(QStringLiteral(" || ',' || "));
}

void drop(Database &db, const QString &name)
{
    db.exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(quoteIdentifier(name)));
}

void buildArticleDigests(Database &db, const QString &schema, const QString &name,
                         const QStringList &keyFields, const QStringList &contentFields)
{
    drop(db, name);
    registerDigest(db);
    const QString table = quoteIdentifier(name);
    // Text keys of very wide lines are digested as one value.
    const QString headKey =
        *digestExpression({Schema::kBlockName, Schema::kType}, {QStringLiteral("'h'")});
    const QString articleKey =
        digestExpression(keyFields, {QStringLiteral("'a'")})
            .value_or(QStringLiteral("LINE_DIGEST('a', %1)")
                          .arg(keyExpression(QStringLiteral("t"), keyFields)));
    const QString content =
        digestExpression(contentFields)
            .value_or(QStringLiteral("LINE_DIGEST(%1)")
                          .arg(keyExpression(QStringLiteral("t"), contentFields)));
    db.exec(QStringLiteral("CREATE TEMP TABLE %1 (rid INTEGER PRIMARY KEY, rad, grp, typ, kd, cd)")
                .arg(table));
    db.exec(QStringLiteral("INSERT INTO %1 SELECT t.rowid, t.RAD, IFNULL(t.BL_NAME, ''), "
                           "IFNULL(t.TYP, ''), CASE WHEN IFNULL(t.TYP, '') IN ('-', 'T-', 'F-') "
                           "THEN %2 ELSE %3 END, %4 FROM %5.Articles AS t")
                .arg(table, headKey, articleKey, content, quoteIdentifier(schema)));
    db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (kd)")
                .arg(quoteIdentifier(name + QStringLiteral("_kd")), table));
}

void buildArticleKeys(Database &db, const QString &schema, const QString &name,
                      const QStringList &keyFields, const QStringList &contentFields,
                      const QString &only)
{
    drop(db, name);
    const QString table = quoteIdentifier(name);
    const QString key =
        QStringLiteral("CASE WHEN IFNULL(t.TYP, '') IN ('-', 'T-', 'F-') THEN 'h' || %1 "
                       "ELSE 'a' || %2 END")
            .arg(keyExpression(QStringLiteral("t"), {Schema::kBlockName, Schema::kType}),
                 keyExpression(QStringLiteral("t"), keyFields));
    QStringList label;
    for (const QString &field : keyFields)
        label << QStringLiteral("IFNULL(t.%1, '')").arg(quoteIdentifier(field));
    db.exec(
        QStringLiteral("CREATE TEMP TABLE %1 AS SELECT rid, rad, grp, typ, key, label, "
                       "content, "
                       "ROW_NUMBER() OVER (PARTITION BY key ORDER BY rad, rid) AS dup, "
                       "COUNT(*) OVER (PARTITION BY key ORDER BY rad, rid ROWS BETWEEN UNBOUNDED "
                       "PRECEDING AND UNBOUNDED FOLLOWING) AS cnt FROM "
                       "(SELECT t.rowid AS rid, t.RAD AS rad, IFNULL(t.BL_NAME, '') AS grp, "
                       "IFNULL(t.TYP, '') AS typ, %2 AS key, %3 AS label, %4 AS content "
                       "FROM %5.Articles AS t WHERE t.rowid IN (SELECT rid FROM temp.%6))")
            .arg(table, key, label.join(QStringLiteral(" || '; ' || ")),
                 contentExpression(db, contentFields), quoteIdentifier(schema),
                 quoteIdentifier(only)));
    db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (key, dup)")
                .arg(quoteIdentifier(name + QStringLiteral("_key")), table));
    db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (rid)")
                .arg(quoteIdentifier(name + QStringLiteral("_rid")), table));
}

void buildLineKeys(Database &db, const QString &schema, const QString &table, const QString &name,
                   const QStringList &fields)
{
    drop(db, name);
    const QString quoted = quoteIdentifier(name);
    db.exec(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT rid, rad, grp, key, "
                           "ROW_NUMBER() OVER (PARTITION BY key ORDER BY rad, rid) AS dup FROM "
                           "(SELECT t.rowid AS rid, t.RAD AS rad, IFNULL(t.BL_NAME, '') AS grp, "
                           "%2 AS key FROM %3.%4 AS t)")
                .arg(quoted, keyExpression(QStringLiteral("t"), fields), quoteIdentifier(schema),
                     quoteIdentifier(table)));
    db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (key, dup)")
                .arg(quoteIdentifier(name + QStringLiteral("_key")), quoted));
}

} // namespace RowKeys
