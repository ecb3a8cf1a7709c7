#include "compare/CatalogueComparison.h"

#include "compare/CatalogueSource.h"
#include "compare/RowKeys.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

QString q(const QString &name)
{
    return quoteIdentifier(name);
}

// Field names of a list without RAD, matched ignoring case.
qsizetype indexOfField(const FieldList &fields, const QString &name)
{
    for (qsizetype i = 1; i < fields.size(); ++i) {
        if (fields.at(i).Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void compareFields(const FieldList &a, const FieldList &b, CatalogueDifferences &result)
{
    using Kind = FieldDifference::Kind;
    QList<qsizetype> removed;
    for (qsizetype i = 1; i < a.size(); ++i) {
        const FieldDesc &field = a.at(i);
        const qsizetype j = indexOfField(b, field.Name);
        if (j < 0) {
            removed << i;
            continue;
        }
        result.comparedFields << field.Name;
        if (field.Length != b.at(j).Length)
            result.fields << FieldDifference{Kind::Length,   field.Name, {}, field.Length,
                                             b.at(j).Length, {},         {}};
        else if (field.Description != b.at(j).Description)
            result.fields << FieldDifference{Kind::Description,  field.Name,   {},
                                             field.Length,       field.Length, field.Description,
                                             b.at(j).Description};
    }
    for (qsizetype j = 1; j < b.size(); ++j) {
        const FieldDesc &field = b.at(j);
        if (indexOfField(a, field.Name) >= 0)
            continue;
        result.leftOutFields << field.Name;
        // A field gone from the same place where a new one stands was renamed.
        if (removed.contains(j) && a.at(j).Length == field.Length) {
            removed.removeOne(j);
            result.fields << FieldDifference{
                Kind::Renamed, a.at(j).Name, field.Name, a.at(j).Length, field.Length, {}, {}};
            result.leftOutFields << a.at(j).Name;
            continue;
        }
        result.fields << FieldDifference{Kind::Added, field.Name, {}, 0, field.Length, {}, {}};
    }
    for (qsizetype i : removed) {
        result.leftOutFields << a.at(i).Name;
        result.fields << FieldDifference{
            Kind::Removed, a.at(i).Name, {}, a.at(i).Length, 0, {}, {}};
    }
}

void compareGroups(Database &db, const QString &a, const QString &b, CatalogueDifferences &result)
{
    using Kind = GroupDifference::Kind;
    const QString groups = QStringLiteral("(SELECT BL_NAME AS name, MIN(IFNULL(DESCRIPTION, '')) "
                                          "AS text FROM %1.Designations GROUP BY BL_NAME)");
    Statement st =
        db.prepare(QStringLiteral("SELECT x.name, x.text, y.text FROM %1 AS x LEFT JOIN %2 AS y "
                                  "ON y.name = x.name WHERE y.name IS NULL OR y.text <> x.text")
                       .arg(groups.arg(q(a)), groups.arg(q(b))));
    while (st.step())
        result.groups << GroupDifference{st.isNull(2) ? Kind::Removed : Kind::Changed, st.text(0),
                                         st.text(1), st.text(2)};
    Statement added = db.prepare(QStringLiteral("SELECT y.name, y.text FROM %2 AS y WHERE NOT "
                                                "EXISTS (SELECT 1 FROM %1 AS x WHERE x.name = "
                                                "y.name)")
                                     .arg(groups.arg(q(a)), groups.arg(q(b))));
    while (added.step())
        result.groups << GroupDifference{Kind::Added, added.text(0), {}, added.text(1)};
}

} // namespace

QStringList CatalogueComparison::defaultKeyFields()
{
    return {Schema::kBlockName, Schema::kType};
}

CatalogueDifferences CatalogueComparison::compare(const QString &pathA, const QString &pathB)
{
    NullProgress none;
    Progress &progress = m_progress ? *m_progress : none;
    progress.start(3);
    const auto done = qScopeGuard([&progress] { progress.end(); });
    const CatalogueSource a(pathA, m_prompter, m_tdxPath);
    progress.update(1);
    const CatalogueSource b(pathB, m_prompter, m_tdxPath);
    progress.update(2);
    // Read-only: the attached file is opened with the same flags, so neither can be written.
    Database db(a.databasePath(), Database::OpenMode::ReadOnly);
    db.setShownPath(a.shownPath());
    // The pairing tables are temporary and sorted several times: in memory it is far faster.
    db.exec(QStringLiteral("PRAGMA temp_store = MEMORY; PRAGMA cache_size = -262144;"));
    {
        Statement attach = db.prepare(QStringLiteral("ATTACH DATABASE ? AS other"));
        attach.bind(1, b.databasePath()).run();
    }
    CatalogueDifferences result;
    {
        const StatementPulse pulse(db, [&progress] { progress.update(2); });
        result = compareAttached(db, {QStringLiteral("main"), a.fields()},
                                 {QStringLiteral("other"), b.fields()}, m_keyFields,
                                 QStringLiteral("cmp"));
    }
    db.exec(QStringLiteral("DETACH DATABASE other"));
    return result;
}

namespace {

ArticleDifference articleDifference(ArticleDifference::Kind kind, const QString &group,
                                    const QString &type, const QString &key)
{
    ArticleDifference d;
    d.kind = kind;
    d.group = group;
    d.type = type;
    d.key = key;
    return d;
}

// Pairs the articles of two sides and reads what differs. Temporary tables are named after
// the prefix: <prefix>_da, <prefix>_db (digests of every line), <prefix>_a, <prefix>_b (text keys
// of the lines that need a closer look) and <prefix>_pairs.
//
// A key found once on each side pairs at once. Only the groups holding a key found twice on a
// side go through the careful pairing (alike lines first, then by place), so two versions of a
// million lines cost about two passes over each.
class ArticlePairing
{
public:
    ArticlePairing(Database &db, const CatalogueComparison::Side &a,
                   const CatalogueComparison::Side &b, const QString &prefix,
                   CatalogueDifferences &result)
        : m_db(db), m_a(a), m_b(b), m_linesA(prefix + QStringLiteral("_da")),
          m_linesB(prefix + QStringLiteral("_db")), m_keysA(prefix + QStringLiteral("_a")),
          m_keysB(prefix + QStringLiteral("_b")), m_pairs(prefix + QStringLiteral("_pairs")),
          m_links(prefix + QStringLiteral("_pairs_links")), m_result(result)
    {
    }

    void run()
    {
        RowKeys::buildArticleDigests(m_db, m_a.schema, m_linesA, m_result.keyFields,
                                     m_result.comparedFields);
        RowKeys::buildArticleDigests(m_db, m_b.schema, m_linesB, m_result.keyFields,
                                     m_result.comparedFields);
        RowKeys::drop(m_db, m_links);
        m_db.exec(QStringLiteral("CREATE TEMP TABLE %1 (ra INTEGER PRIMARY KEY, rb INTEGER "
                                 "UNIQUE)")
                      .arg(q(m_links)));
        const bool careful = pairUniqueKeys();
        if (careful) {
            RowKeys::buildArticleKeys(m_db, m_a.schema, m_keysA, m_result.keyFields,
                                      m_result.comparedFields, m_keysA + QStringLiteral("_only"));
            RowKeys::buildArticleKeys(m_db, m_b.schema, m_keysB, m_result.keyFields,
                                      m_result.comparedFields, m_keysB + QStringLiteral("_only"));
            pair();
        }
        buildPairs();
        readUnpaired(m_linesA, QStringLiteral("ra"), m_a.schema, ArticleDifference::Kind::Removed);
        readUnpaired(m_linesB, QStringLiteral("rb"), m_b.schema, ArticleDifference::Kind::Added);
        readChanged();
        readMoved();
        if (careful)
            readDuplicates();
        // The pairs and the lines stay: a merge reads them after the comparison.
        for (const QString &table : {m_keysA, m_keysB, m_keysA + QStringLiteral("_only"),
                                     m_keysB + QStringLiteral("_only"), m_hardGroups()})
            RowKeys::drop(m_db, table);
    }

private:
    QString m_hardGroups() const { return m_pairs + QStringLiteral("_hard"); }

    // Pairs the lines whose key is found once on each side, outside the groups that hold a key
    // found twice; those groups' other lines are left for the careful pairing, whose places they
    // give. Answers whether any are left.
    bool pairUniqueKeys()
    {
        const QString hard = m_hardGroups();
        RowKeys::drop(m_db, hard);
        const QString twice = hard + QStringLiteral("_keys");
        RowKeys::drop(m_db, twice);
        m_db.exec(QStringLiteral("CREATE TEMP TABLE %1 (kd PRIMARY KEY) WITHOUT ROWID; "
                                 "INSERT OR IGNORE INTO %1 SELECT kd FROM %2 GROUP BY kd "
                                 "HAVING COUNT(*) > 1; "
                                 "INSERT OR IGNORE INTO %1 SELECT kd FROM %3 GROUP BY kd "
                                 "HAVING COUNT(*) > 1; "
                                 "CREATE TEMP TABLE %4 (grp PRIMARY KEY) WITHOUT ROWID; "
                                 "INSERT OR IGNORE INTO %4 SELECT grp FROM %2 WHERE kd IN %1; "
                                 "INSERT OR IGNORE INTO %4 SELECT grp FROM %3 WHERE kd IN %1;")
                      .arg(q(twice), q(m_linesA), q(m_linesB), q(hard)));
        // The lines of a hard group are left for the careful pairing, which needs their places.
        m_db.exec(QStringLiteral("INSERT INTO %1 SELECT x.rid, y.rid FROM %2 AS x JOIN %3 AS y "
                                 "ON y.kd = x.kd WHERE x.kd NOT IN %4 AND "
                                 "NOT (x.grp IN %5 AND y.grp IN %5)")
                      .arg(q(m_links), q(m_linesA), q(m_linesB), q(twice), q(hard)));
        RowKeys::drop(m_db, twice);
        bool left = false;
        for (const auto &[lines, only, side] :
             {std::tuple{m_linesA, m_keysA + QStringLiteral("_only"), QStringLiteral("ra")},
              std::tuple{m_linesB, m_keysB + QStringLiteral("_only"), QStringLiteral("rb")}}) {
            RowKeys::drop(m_db, only);
            m_db.exec(QStringLiteral("CREATE TEMP TABLE %1 (rid INTEGER PRIMARY KEY); INSERT INTO "
                                     "%1 SELECT rid FROM %2 AS k WHERE grp IN %3 AND NOT EXISTS "
                                     "(SELECT 1 FROM %4 AS l WHERE l.%5 = k.rid)")
                          .arg(q(only), q(lines), q(hard), q(m_links), side));
            left =
                left || m_db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(q(only)))
                            .toBool();
        }
        return left;
    }

    // Lines alike in every field pair first under their key, so a line removed among several of
    // one key does not shift the pairing of the others. The rest pair where they stand: after
    // the same paired line on both sides; what is left of a key last, in row order.
    void pair()
    {
        const QString &links = m_links;
        const QString alike = QStringLiteral(
            "(SELECT rid, key, content, ROW_NUMBER() OVER (PARTITION BY key, content "
            "ORDER BY rad, rid) AS n FROM %1)");
        m_db.exec(QStringLiteral("INSERT INTO %1 SELECT x.rid, y.rid FROM %2 AS x JOIN %3 AS y "
                                 "ON y.key = x.key AND y.content = x.content AND y.n = x.n")
                      .arg(q(links), alike.arg(q(m_keysA)), alike.arg(q(m_keysB))));
        pairInPlace(links);
        const QString rest =
            QStringLiteral("(SELECT rid, key, ROW_NUMBER() OVER (PARTITION BY key ORDER BY rad, "
                           "rid) AS n FROM %1 AS k WHERE NOT EXISTS (SELECT 1 FROM %2 AS l "
                           "WHERE l.%3 = k.rid))");
        m_db.exec(QStringLiteral("INSERT INTO %1 SELECT x.rid, y.rid FROM %2 AS x JOIN %3 AS y "
                                 "ON y.key = x.key AND y.n = x.n")
                      .arg(q(links), rest.arg(q(m_keysA), q(links), QStringLiteral("ra")),
                           rest.arg(q(m_keysB), q(links), QStringLiteral("rb"))));
    }

    // A changed line stands after the same paired line (its anchor, a place in A's group) on
    // both sides. Among the unpaired lines of one key at one anchor, the most alike pair first;
    // only these few lines reach C++.
    void pairInPlace(const QString &links)
    {
        const QString leftA = m_pairs + QStringLiteral("_left_a");
        const QString leftB = m_pairs + QStringLiteral("_left_b");
        RowKeys::drop(m_db, leftA);
        RowKeys::drop(m_db, leftB);
        m_db.exec(
            QStringLiteral(
                "CREATE TEMP TABLE %4 AS WITH pa AS (SELECT k.rid, k.key, k.grp, "
                "l.ra IS NOT NULL AS paired, "
                "ROW_NUMBER() OVER (PARTITION BY k.grp ORDER BY k.rad, k.rid) AS pos "
                "FROM %2 AS k LEFT JOIN %1 AS l ON l.ra = k.rid) "
                "SELECT * FROM (SELECT rid, key, grp, paired, pos, IFNULL(MAX(CASE WHEN paired "
                "THEN pos END) OVER (PARTITION BY grp ORDER BY pos), 0) AS anchor FROM pa); "
                "CREATE TEMP TABLE %5 AS WITH pb AS (SELECT k.rid, k.key, k.grp, "
                "l.rb IS NOT NULL AS paired, p.pos AS partner, "
                "ROW_NUMBER() OVER (PARTITION BY k.grp ORDER BY k.rad, k.rid) AS pos "
                "FROM %3 AS k LEFT JOIN %1 AS l ON l.rb = k.rid LEFT JOIN %4 AS p "
                "ON p.rid = l.ra) "
                "SELECT rid, key, grp, paired, pos, IFNULL(MAX(partner) OVER (PARTITION "
                "BY grp ORDER BY pos), 0) AS anchor FROM pb; "
                "DELETE FROM %4 WHERE paired; DELETE FROM %5 WHERE paired; "
                "CREATE INDEX temp.%6 ON %5 (key, grp, anchor); "
                "CREATE INDEX temp.%7 ON %4 (key, grp, anchor);")
                .arg(q(links), q(m_keysA), q(m_keysB), q(leftA), q(leftB),
                     q(leftB + QStringLiteral("_place")), q(leftA + QStringLiteral("_place"))));
        pairMostAlike(links, leftA, leftB);
        RowKeys::drop(m_db, leftA);
        RowKeys::drop(m_db, leftB);
    }

    void pairMostAlike(const QString &links, const QString &leftA, const QString &leftB)
    {
        QStringList alike;
        for (const QString &field : m_result.comparedFields)
            alike << QStringLiteral("(IFNULL(x.%1, '') = IFNULL(y.%1, ''))").arg(q(field));
        // A place holding many lines on both sides is left to row order: no quadratic pairing.
        Statement candidates = m_db.prepare(
            QStringLiteral("SELECT a.rid, b.rid FROM %1 AS a JOIN %2 AS b ON b.key = a.key AND "
                           "b.grp = a.grp AND b.anchor = a.anchor JOIN %3.Articles AS x ON "
                           "x.rowid = a.rid JOIN %4.Articles AS y ON y.rowid = b.rid "
                           "WHERE (SELECT COUNT(*) FROM %1 AS c WHERE c.key = a.key AND c.grp = "
                           "a.grp AND c.anchor = a.anchor) <= 64 AND (SELECT COUNT(*) FROM %2 AS "
                           "c WHERE c.key = b.key AND c.grp = b.grp AND c.anchor = b.anchor) <= 64 "
                           "ORDER BY %5 DESC, a.pos, b.pos")
                .arg(q(leftA), q(leftB), q(m_a.schema), q(m_b.schema),
                     alike.isEmpty() ? QStringLiteral("0") : alike.join(QStringLiteral(" + "))));
        Statement insert =
            m_db.prepare(QStringLiteral("INSERT INTO %1 (ra, rb) VALUES (?, ?)").arg(q(links)));
        QSet<qint64> usedA;
        QSet<qint64> usedB;
        while (candidates.step()) {
            const qint64 a = candidates.int64(0);
            const qint64 b = candidates.int64(1);
            if (usedA.contains(a) || usedB.contains(b))
                continue;
            usedA.insert(a);
            usedB.insert(b);
            insert.bind(1, a).bind(2, b).run();
            insert.reset();
        }
    }

    void buildPairs()
    {
        RowKeys::drop(m_db, m_pairs);
        m_db.exec(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT l.ra, l.rb, x.rad AS rada, "
                                 "y.rad AS radb, x.grp AS grpa, y.grp AS grpb, y.typ AS typ, "
                                 "x.cd <> y.cd AS changed FROM %2 AS l "
                                 "JOIN %3 AS x ON x.rid = l.ra JOIN %4 AS y ON y.rid = l.rb")
                      .arg(q(m_pairs), q(m_links), q(m_linesA), q(m_linesB)));
        RowKeys::drop(m_db, m_links);
        m_db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (ra)")
                      .arg(q(m_pairs + QStringLiteral("_ra")), q(m_pairs)));
        m_db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (rb)")
                      .arg(q(m_pairs + QStringLiteral("_rb")), q(m_pairs)));
    }

private:
    // The key as a reader sees it: the key fields' values of a line.
    QString keySelect(const QString &alias) const
    {
        QStringList parts;
        for (const QString &field : m_result.keyFields)
            parts << QStringLiteral("IFNULL(%1.%2, '')").arg(alias, q(field));
        return parts.join(QStringLiteral(" || '; ' || "));
    }

    void readUnpaired(const QString &keys, const QString &side, const QString &schema,
                      ArticleDifference::Kind kind)
    {
        const bool added = kind == ArticleDifference::Kind::Added;
        const QString unpaired =
            QStringLiteral("FROM %1 AS k JOIN %2.Articles AS t ON t.rowid = k.rid WHERE NOT "
                           "EXISTS (SELECT 1 FROM %3 AS p WHERE p.%4 = k.rid)")
                .arg(q(keys), q(schema), q(m_pairs), side);
        // An added line carries its values and the line of A it follows, so it can be taken
        // into A at its place.
        QString extra;
        if (added &&
            m_db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 %1)").arg(unpaired)).toBool()) {
            m_db.exec(QStringLiteral("CREATE INDEX temp.%1 ON %2 (grp, rad, rid)")
                          .arg(q(keys + QStringLiteral("_place")), q(keys)));
            extra = QStringLiteral(", (SELECT p.ra FROM %1 AS y JOIN %2 AS p ON p.rb = y.rid "
                                   "WHERE y.grp = k.grp AND (y.rad < k.rad OR (y.rad = k.rad AND "
                                   "y.rid < k.rid)) ORDER BY y.rad DESC, y.rid DESC LIMIT 1)")
                        .arg(q(keys), q(m_pairs));
            for (const QString &field : m_result.comparedFields)
                extra += QStringLiteral(", IFNULL(t.%1, '')").arg(q(field));
        }
        Statement st = m_db.prepare(QStringLiteral("SELECT k.rid, k.rad, k.grp, k.typ, %1%2 %3")
                                        .arg(keySelect(QStringLiteral("t")), extra, unpaired));
        while (st.step()) {
            ArticleDifference d = articleDifference(kind, st.text(2), st.text(3), st.text(4));
            (added ? d.newRowId : d.oldRowId) = st.int64(0);
            (added ? d.newRow : d.oldRow) = st.int64(1);
            if (!extra.isEmpty()) {
                d.anchorOldRowId = st.isNull(5) ? -1 : st.int64(5);
                for (int i = 6; i < st.columnCount(); ++i)
                    d.values << st.text(i);
            }
            m_result.articles << d;
        }
    }

    void readChanged()
    {
        QStringList columns;
        QStringList differs; // the values themselves: line digests may coincide
        for (const QString &field : m_result.comparedFields) {
            columns << QStringLiteral("IFNULL(x.%1, ''), IFNULL(y.%1, '')").arg(q(field));
            differs << QStringLiteral("IFNULL(x.%1, '') <> IFNULL(y.%1, '')").arg(q(field));
        }
        if (columns.isEmpty())
            return;
        Statement st = m_db.prepare(
            QStringLiteral("SELECT p.ra, p.rb, p.rada, p.radb, p.grpb, p.typ, %1, %2 FROM %3 AS p "
                           "JOIN %4.Articles AS x ON x.rowid = p.ra JOIN %5.Articles AS y "
                           "ON y.rowid = p.rb WHERE p.changed AND (%6)")
                .arg(keySelect(QStringLiteral("y")), columns.join(QStringLiteral(", ")), q(m_pairs),
                     q(m_a.schema), q(m_b.schema), differs.join(QStringLiteral(" OR "))));
        while (st.step()) {
            ArticleDifference d = articleDifference(ArticleDifference::Kind::Changed, st.text(4),
                                                    st.text(5), st.text(6));
            d.oldRowId = st.int64(0);
            d.newRowId = st.int64(1);
            d.oldRow = st.int64(2);
            d.newRow = st.int64(3);
            for (qsizetype i = 0; i < m_result.comparedFields.size(); ++i) {
                const QString before = st.text(int(7 + 2 * i));
                const QString after = st.text(int(8 + 2 * i));
                if (before != after)
                    d.changes << ValueChange{m_result.comparedFields.at(i), before, after};
            }
            m_result.articles << d;
        }
    }

    // Places among the group's paired articles: an insertion or a renumbering elsewhere moves
    // nothing.
    void readMoved()
    {
        Statement st = m_db.prepare(
            QStringLiteral("SELECT ra, rb, rada, radb, grpb, typ, changed, na, nb FROM (SELECT *, "
                           "ROW_NUMBER() OVER (PARTITION BY grpa ORDER BY rada, ra) AS na, "
                           "ROW_NUMBER() OVER (PARTITION BY grpb ORDER BY radb, rb) AS nb "
                           "FROM %1 WHERE grpa = grpb) WHERE na <> nb")
                .arg(q(m_pairs)));
        while (st.step()) {
            ArticleDifference d =
                articleDifference(ArticleDifference::Kind::Moved, st.text(4), st.text(5), {});
            d.key = keyTextOf(d.newRowId = st.int64(1));
            d.oldRowId = st.int64(0);
            d.oldRow = st.int64(2);
            d.newRow = st.int64(3);
            d.oldPlace = int(st.int64(7));
            d.newPlace = int(st.int64(8));
            m_result.articles << d;
        }
    }

    QString keyTextOf(qint64 rowidB)
    {
        return m_db
            .scalar(QStringLiteral("SELECT %1 FROM %2.Articles AS y WHERE y.rowid = ?")
                        .arg(keySelect(QStringLiteral("y")), q(m_b.schema)),
                    rowidB)
            .toString();
    }

    void readDuplicates()
    {
        Statement st = m_db.prepare(
            QStringLiteral("SELECT MIN(grp), MIN(label), MAX(ca), MAX(cb) FROM (SELECT grp, key, "
                           "label, cnt AS ca, 0 AS cb FROM %1 WHERE dup = 1 AND cnt > 1 UNION ALL "
                           "SELECT grp, key, label, 0, cnt FROM %2 WHERE dup = 1 AND cnt > 1) "
                           "GROUP BY key ORDER BY 1, 2")
                .arg(q(m_keysA), q(m_keysB)));
        while (st.step())
            m_result.duplicates << DuplicateKey{st.text(0), st.text(1), st.int64(2), st.int64(3)};
    }

    Database &m_db;
    const CatalogueComparison::Side &m_a;
    const CatalogueComparison::Side &m_b;
    QString m_linesA;
    QString m_linesB;
    QString m_keysA;
    QString m_keysB;
    QString m_pairs;
    QString m_links;
    CatalogueDifferences &m_result;
};

QStringList valuesFrom(const Statement &st, int first)
{
    QStringList values;
    for (int i = first; i < st.columnCount(); ++i)
        values << st.text(i);
    return values;
}

void compareEquivalences(Database &db, const CatalogueComparison::Side &a,
                         const CatalogueComparison::Side &b, const QString &prefix,
                         CatalogueDifferences &result)
{
    const QString keysA = prefix + QStringLiteral("_eqa");
    const QString keysB = prefix + QStringLiteral("_eqb");
    RowKeys::buildLineKeys(db, a.schema, QLatin1String(Schema::kEqv), keysA, result.comparedFields);
    RowKeys::buildLineKeys(db, b.schema, QLatin1String(Schema::kEqv), keysB, result.comparedFields);
    QStringList columns;
    for (const QString &field : result.comparedFields)
        columns << QStringLiteral("IFNULL(t.%1, '')").arg(q(field));
    for (const bool added : {false, true}) {
        Statement st = db.prepare(
            QStringLiteral(
                "SELECT k.rid, k.grp, %1 FROM %2 AS k JOIN %3.Eqv AS t ON t.rowid = k.rid "
                "WHERE NOT EXISTS (SELECT 1 FROM %4 AS o WHERE o.key = k.key AND "
                "o.dup = k.dup) ORDER BY k.rad, k.rid")
                .arg(columns.join(QStringLiteral(", ")), q(added ? keysB : keysA),
                     q(added ? b.schema : a.schema), q(added ? keysA : keysB)));
        while (st.step())
            result.equivalences << EquivalenceDifference{added, st.text(1), valuesFrom(st, 2),
                                                         st.int64(0)};
    }
    RowKeys::drop(db, keysA);
    RowKeys::drop(db, keysB);
}

void requireKeys(const CatalogueComparison::Side &a, const CatalogueComparison::Side &b,
                 const QStringList &keyFields)
{
    if (keyFields.isEmpty())
        throw AppError(ErrorNumber::InvalidUseOfNull, QStringLiteral("Ingen nyckel angavs."));
    for (const QString &field : keyFields) {
        if (indexOfField(a.fields, field) < 0 || indexOfField(b.fields, field) < 0)
            throw AppError(
                ErrorNumber::BadFileFormat,
                QStringLiteral("Nyckelfältet %1 finns inte i båda katalogerna.").arg(field));
    }
    for (const QString &field : {Schema::kBlockName, Schema::kType}) {
        if (indexOfField(a.fields, field) < 0 || indexOfField(b.fields, field) < 0)
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Fältet %1 saknas i en av katalogerna.").arg(field));
    }
}

// By group, then by place in the group (new place, else old), so a reader sees each group once.
void sortArticles(QList<ArticleDifference> &articles)
{
    std::stable_sort(articles.begin(), articles.end(),
                     [](const ArticleDifference &x, const ArticleDifference &y) {
                         if (x.group != y.group)
                             return x.group < y.group;
                         const qint64 rx = x.newRow >= 0 ? x.newRow : x.oldRow;
                         const qint64 ry = y.newRow >= 0 ? y.newRow : y.oldRow;
                         return rx < ry;
                     });
}

} // namespace

CatalogueDifferences CatalogueComparison::compareAttached(Database &db, const Side &a,
                                                          const Side &b,
                                                          const QStringList &keyFields,
                                                          const QString &prefix)
{
    requireKeys(a, b, keyFields);
    CatalogueDifferences result;
    for (const QString &field : keyFields)
        result.keyFields << a.fields.at(indexOfField(a.fields, field)).Name;
    compareFields(a.fields, b.fields, result);
    compareGroups(db, a.schema, b.schema, result);
    ArticlePairing(db, a, b, prefix, result).run();
    sortArticles(result.articles);
    compareEquivalences(db, a, b, prefix, result);
    return result;
}
