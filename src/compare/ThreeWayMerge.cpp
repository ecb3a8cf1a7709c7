#include "compare/ThreeWayMerge.h"
#include "db/Schema.h"

#include "compare/CatalogueComparison.h"
#include "compare/CatalogueSource.h"
#include "compare/RowKeys.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsExport.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

QString deletedMark()
{
    return QStringLiteral("(borttagen)");
}

namespace {

QString q(const QString &name)
{
    return quoteIdentifier(name);
}

const ValueChange *changeOf(const ArticleDifference *article, const QString &field)
{
    if (!article)
        return nullptr;
    for (const ValueChange &change : article->changes) {
        if (change.field == field)
            return &change;
    }
    return nullptr;
}

QStringList comparedColumns(const CatalogueDifferences &d)
{
    QStringList columns;
    for (const QString &field : d.comparedFields)
        columns << q(field);
    return columns;
}

// Brings the changes from base to theirs into the working copy of ours ("main"), with base and
// theirs attached as "base" and "theirs". Only the differences are looked at.
class MergeBuilder
{
public:
    MergeBuilder(Database &db, const CatalogueDifferences &ours, const CatalogueDifferences &theirs,
                 MergeResult &result)
        : m_db(db), m_ours(ours), m_theirs(theirs), m_result(result)
    {
        for (const ArticleDifference &a : ours.articles) {
            if (a.kind == ArticleDifference::Kind::Changed)
                m_oursChanged.insert(a.oldRowId, &a);
            else if (a.kind == ArticleDifference::Kind::Removed)
                m_oursRemoved.insert(a.oldRowId);
            else if (a.kind == ArticleDifference::Kind::Added)
                m_oursAdded.insert(a.newRowId);
        }
    }

    void run()
    {
        QList<const ArticleDifference *> additions;
        for (const ArticleDifference &a : m_theirs.articles) {
            if (a.kind == ArticleDifference::Kind::Changed)
                takeChange(a);
            else if (a.kind == ArticleDifference::Kind::Removed)
                takeRemoval(a);
            else if (a.kind == ArticleDifference::Kind::Added)
                additions << &a;
        }
        takeAdditions(additions);
        for (const GroupDifference &g : m_theirs.groups)
            takeGroup(g);
        takeEquivalences();
    }

private:
    void conflict(const ArticleDifference &a, const QString &field, const QString &base,
                  const QString &ours, const QString &theirs)
    {
        m_result.conflicts << MergeConflict{a.group, a.type, a.key, field, base, ours, theirs};
    }

    qint64 oursRowFor(qint64 baseRowId)
    {
        const QVariant row =
            m_db.scalar(QStringLiteral("SELECT rb FROM temp.mo_pairs WHERE ra = ?"), baseRowId);
        return row.isValid() ? row.toLongLong() : -1;
    }

    void takeChange(const ArticleDifference &a)
    {
        if (m_oursRemoved.contains(a.oldRowId)) {
            for (const ValueChange &c : a.changes)
                conflict(a, c.field, c.oldValue, deletedMark(), c.newValue);
            return;
        }
        const qint64 row = oursRowFor(a.oldRowId);
        const ArticleDifference *mine = m_oursChanged.value(a.oldRowId);
        for (const ValueChange &c : a.changes) {
            if (const ValueChange *own = changeOf(mine, c.field)) {
                if (own->newValue != c.newValue)
                    conflict(a, c.field, c.oldValue, own->newValue, c.newValue);
                continue;
            }
            m_db.prepare(QStringLiteral("UPDATE main.Articles SET %1 = ? WHERE rowid = ?")
                             .arg(q(c.field)))
                .bind(1, c.newValue)
                .bind(2, row)
                .run();
            ++m_result.takenFromTheirs;
        }
    }

    void takeRemoval(const ArticleDifference &a)
    {
        if (const ArticleDifference *mine = m_oursChanged.value(a.oldRowId)) {
            for (const ValueChange &c : mine->changes)
                conflict(a, c.field, c.oldValue, c.newValue, deletedMark());
            return;
        }
        if (m_oursRemoved.contains(a.oldRowId))
            return;
        m_db.prepare(QStringLiteral("DELETE FROM main.Articles WHERE rowid = ?"))
            .bind(1, oursRowFor(a.oldRowId))
            .run();
        ++m_result.takenFromTheirs;
    }

    void takeAdditions(QList<const ArticleDifference *> additions);
    bool matchesOurAddition(const ArticleDifference &a);
    qint64 anchorFor(qint64 theirsRowId, const QString &group);
    qint64 previousInTheirs(qint64 theirsRowId);
    qint64 oursRadForTheirs(qint64 theirsRowId);
    void takeGroup(const GroupDifference &g);
    void takeEquivalences();

    Database &m_db;
    const CatalogueDifferences &m_ours;
    const CatalogueDifferences &m_theirs;
    MergeResult &m_result;
    QHash<qint64, const ArticleDifference *> m_oursChanged; // by base rowid
    QSet<qint64> m_oursRemoved;                             // base rowids
    QSet<qint64> m_oursAdded;                               // our rowids
    qint64 m_spacing = 1;
    QHash<qint64, qint64> m_anchorOf;    // an inserted line of theirs -> the row it follows
    QHash<qint64, qint64> m_nextOffset;  // per anchor
    QHash<qint64, qint64> m_matchedOurs; // a line of theirs ours added too -> our rowid
};

// Lines of theirs are inserted after the line they follow in theirs, as found in ours. Row
// numbers are first spread apart so that every insertion finds room.
void MergeBuilder::takeAdditions(QList<const ArticleDifference *> additions)
{
    if (additions.isEmpty())
        return;
    std::sort(additions.begin(), additions.end(), [](const auto *x, const auto *y) {
        return x->newRow != y->newRow ? x->newRow < y->newRow : x->newRowId < y->newRowId;
    });
    m_spacing = additions.size() + 1;
    for (const char *table : {"Articles", "Eqv"})
        m_db.prepare(QStringLiteral("UPDATE main.%1 SET RAD = RAD * ?").arg(QLatin1String(table)))
            .bind(1, m_spacing)
            .run();
    const QStringList columns = comparedColumns(m_theirs);
    Statement insert = m_db.prepare(
        QStringLiteral("INSERT INTO main.Articles (RAD, %1) SELECT ?, %1 FROM theirs.Articles "
                       "WHERE rowid = ?")
            .arg(columns.join(QStringLiteral(", "))));
    for (const ArticleDifference *a : additions) {
        if (matchesOurAddition(*a))
            continue;
        const qint64 anchor = anchorFor(a->newRowId, a->group);
        m_anchorOf.insert(a->newRowId, anchor);
        insert.bind(1, anchor + ++m_nextOffset[anchor]).bind(2, a->newRowId).run();
        insert.reset();
        ++m_result.takenFromTheirs;
    }
}

namespace {

// How many lines of its side share the key of the line `alias` and come before it.
QString placeAmongKey(const QString &lines, const QString &alias)
{
    return QStringLiteral(
               "(SELECT COUNT(*) FROM temp.%1 AS c WHERE c.kd = %2.kd AND (c.rad < %2.rad "
               "OR (c.rad = %2.rad AND c.rid < %2.rid)))")
        .arg(lines, alias);
}

} // namespace

// An article both sides added under one key: the same lines merge, different fields conflict.
bool MergeBuilder::matchesOurAddition(const ArticleDifference &a)
{
    const QVariant found = m_db.scalar(
        QStringLiteral("SELECT o.rid FROM temp.mt_db AS t JOIN temp.mo_db AS o ON o.kd = t.kd "
                       "WHERE t.rid = ? AND %1 = %2")
            .arg(placeAmongKey(QStringLiteral("mt_db"), QStringLiteral("t")),
                 placeAmongKey(QStringLiteral("mo_db"), QStringLiteral("o"))),
        a.newRowId);
    if (!found.isValid() || !m_oursAdded.contains(found.toLongLong()))
        return false;
    m_matchedOurs.insert(a.newRowId, found.toLongLong());
    for (const QString &field : m_theirs.comparedFields) {
        Statement st = m_db.prepare(
            QStringLiteral("SELECT IFNULL(o.%1, ''), IFNULL(t.%1, '') FROM main.Articles AS o, "
                           "theirs.Articles AS t WHERE o.rowid = ? AND t.rowid = ?")
                .arg(q(field)));
        st.bind(1, found.toLongLong()).bind(2, a.newRowId);
        if (st.step() && st.text(0) != st.text(1))
            conflict(a, field, QString(), st.text(0), st.text(1));
    }
    return true;
}

qint64 MergeBuilder::previousInTheirs(qint64 theirsRowId)
{
    const QVariant row = m_db.scalar(
        QStringLiteral("SELECT p.rowid FROM theirs.Articles AS t JOIN theirs.Articles AS p "
                       "ON p.BL_NAME = t.BL_NAME AND (p.RAD < t.RAD OR (p.RAD = t.RAD AND "
                       "p.rowid < t.rowid)) WHERE t.rowid = ? ORDER BY p.RAD DESC, p.rowid DESC "
                       "LIMIT 1"),
        theirsRowId);
    return row.isValid() ? row.toLongLong() : -1;
}

// Our row number of a line of theirs that ours holds too; -1 when ours has no such line.
qint64 MergeBuilder::oursRadForTheirs(qint64 theirsRowId)
{
    const QVariant ours =
        m_matchedOurs.contains(theirsRowId)
            ? QVariant(m_matchedOurs.value(theirsRowId))
            : m_db.scalar(QStringLiteral("SELECT o.rb FROM temp.mt_pairs AS t JOIN "
                                         "temp.mo_pairs AS o ON o.ra = t.ra WHERE t.rb = ?"),
                          theirsRowId);
    if (!ours.isValid())
        return -1;
    const QVariant rad = m_db.scalar(
        QStringLiteral("SELECT RAD FROM main.Articles WHERE rowid = ?"), ours.toLongLong());
    return rad.isValid() ? rad.toLongLong() : -1;
}

qint64 MergeBuilder::anchorFor(qint64 theirsRowId, const QString &group)
{
    for (qint64 previous = previousInTheirs(theirsRowId); previous >= 0;
         previous = previousInTheirs(previous)) {
        if (m_anchorOf.contains(previous))
            return m_anchorOf.value(previous);
        const qint64 rad = oursRadForTheirs(previous);
        if (rad >= 0)
            return rad;
    }
    // First in its group: before our first line of the group, or after everything.
    const QVariant first =
        m_db.scalar(QStringLiteral("SELECT MIN(RAD) FROM main.Articles WHERE BL_NAME = ?"), group);
    if (first.isValid())
        return first.toLongLong() - m_spacing;
    return m_db.scalar(QStringLiteral("SELECT IFNULL(MAX(RAD), 0) FROM main.Articles"))
               .toLongLong() +
           m_spacing;
}

void MergeBuilder::takeGroup(const GroupDifference &g)
{
    const GroupDifference *mine = nullptr;
    for (const GroupDifference &o : m_ours.groups) {
        if (o.blockName == g.blockName)
            mine = &o;
    }
    const auto groupConflict = [&](const QString &ours, const QString &theirs) {
        m_result.conflicts << MergeConflict{g.blockName,      {},   {},    Schema::kDescription,
                                            g.oldDescription, ours, theirs};
    };
    using Kind = GroupDifference::Kind;
    if (g.kind == Kind::Added) {
        if (mine && mine->newDescription != g.newDescription)
            groupConflict(mine->newDescription, g.newDescription);
        if (!mine)
            m_db.prepare(QStringLiteral("INSERT INTO main.Designations (BL_NAME, DESCRIPTION) "
                                        "VALUES (?, ?)"))
                .bind(1, g.blockName)
                .bind(2, g.newDescription)
                .run();
    } else if (mine && (mine->kind == Kind::Removed) != (g.kind == Kind::Removed)) {
        groupConflict(mine->kind == Kind::Removed ? deletedMark() : mine->newDescription,
                      g.kind == Kind::Removed ? deletedMark() : g.newDescription);
    } else if (mine && mine->newDescription != g.newDescription) {
        groupConflict(mine->newDescription, g.newDescription);
    } else if (g.kind == Kind::Removed) {
        // A group keeps its description while ours still has articles in it.
        m_db.prepare(QStringLiteral("DELETE FROM main.Designations WHERE BL_NAME = ?1 AND NOT "
                                    "EXISTS (SELECT 1 FROM main.Articles WHERE BL_NAME = ?1)"))
            .bind(1, g.blockName)
            .run();
    } else {
        m_db.prepare(QStringLiteral("UPDATE main.Designations SET DESCRIPTION = ? WHERE "
                                    "BL_NAME = ?"))
            .bind(1, g.newDescription)
            .bind(2, g.blockName)
            .run();
    }
    if (!mine || mine->newDescription == g.newDescription)
        ++m_result.takenFromTheirs;
}

// Equivalence lines are a set: what theirs added or removed is done in ours once.
void MergeBuilder::takeEquivalences()
{
    QList<QPair<bool, QStringList>> mine;
    for (const EquivalenceDifference &e : m_ours.equivalences)
        mine << qMakePair(e.added, e.values);
    const QStringList columns = comparedColumns(m_theirs);
    const QString key = RowKeys::keyExpression(QStringLiteral("t"), m_theirs.comparedFields);
    const QString baseKey = RowKeys::keyExpression(QStringLiteral("b"), m_theirs.comparedFields);
    for (const EquivalenceDifference &e : m_theirs.equivalences) {
        if (mine.removeOne(qMakePair(e.added, e.values)))
            continue;
        if (e.added) {
            m_db.prepare(QStringLiteral("INSERT INTO main.Eqv (RAD, %1) SELECT (SELECT "
                                        "IFNULL(MAX(RAD), 0) + 1 FROM main.Eqv), %1 FROM "
                                        "theirs.Eqv WHERE rowid = ?")
                             .arg(columns.join(QStringLiteral(", "))))
                .bind(1, e.rowId)
                .run();
        } else {
            m_db.prepare(QStringLiteral("DELETE FROM main.Eqv WHERE rowid = (SELECT t.rowid FROM "
                                        "main.Eqv AS t, base.Eqv AS b WHERE b.rowid = ? AND "
                                        "%1 = %2 LIMIT 1)")
                             .arg(key, baseKey))
                .bind(1, e.rowId)
                .run();
        }
        ++m_result.takenFromTheirs;
    }
}

void requireSameLayout(const CatalogueSource &base, const CatalogueSource &other)
{
    const FieldList &a = base.fields();
    const FieldList &b = other.fields();
    bool same = a.size() == b.size();
    for (qsizetype i = 1; same && i < a.size(); ++i) // RAD is no field of the file
        same = a.at(i).Name.compare(b.at(i).Name, Qt::CaseInsensitive) == 0 &&
               a.at(i).Length == b.at(i).Length;
    if (!same)
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Fältbeskrivningarna (.tdx) för %1 och %2 skiljer sig; en "
                                      "sammanfogning kräver samma fält. Jämför dem med --diff.")
                           .arg(base.shownPath(), other.shownPath()));
}

// A file of our own for the engine to open: a temporary import as it is, a .tdb copied, so an
// input is never opened for writing.
QString privateCopy(const CatalogueSource &source, const QTemporaryDir &dir, const QString &name)
{
    if (source.isTemporary() && name != QLatin1String("merged.tdb"))
        return source.databasePath();
    const QString copy = dir.filePath(name);
    if (!QFile::copy(source.databasePath(), copy))
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("%1 kunde inte kopieras till en temporär mapp.")
                           .arg(source.shownPath()));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

void attach(Database &db, const QString &path, const char *schema)
{
    db.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(QLatin1String(schema)))
        .bind(1, path)
        .run();
}

} // namespace

MergeResult ThreeWayMerge::run(const QString &base, const QString &ours, const QString &theirs,
                               const QString &outputPath)
{
    const CatalogueSource baseSource(base, m_prompter, m_tdxPath);
    const CatalogueSource oursSource(ours, m_prompter, m_tdxPath);
    const CatalogueSource theirsSource(theirs, m_prompter, m_tdxPath);
    requireSameLayout(baseSource, oursSource);
    requireSameLayout(baseSource, theirsSource);
    QTemporaryDir dir;
    if (!dir.isValid())
        throw AppError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("Ingen temporär mapp kunde skapas: %1").arg(dir.errorString()));
    Database db(privateCopy(oursSource, dir, QStringLiteral("merged.tdb")),
                Database::OpenMode::ReadWrite);
    attach(db, privateCopy(baseSource, dir, QStringLiteral("base.tdb")), "base");
    attach(db, privateCopy(theirsSource, dir, QStringLiteral("theirs.tdb")), "theirs");
    const QStringList keys =
        m_keyFields.isEmpty() ? CatalogueComparison::defaultKeyFields() : m_keyFields;
    const FieldList &fields = baseSource.fields();
    const CatalogueDifferences oursDiff = CatalogueComparison::compareAttached(
        db, {QStringLiteral("base"), fields}, {QStringLiteral("main"), fields}, keys,
        QStringLiteral("mo"));
    const CatalogueDifferences theirsDiff = CatalogueComparison::compareAttached(
        db, {QStringLiteral("base"), fields}, {QStringLiteral("theirs"), fields}, keys,
        QStringLiteral("mt"));
    MergeResult result;
    {
        Transaction transaction(db);
        MergeBuilder(db, oursDiff, theirsDiff, result).run();
        transaction.commit();
    }
    db.exec(QStringLiteral("DETACH DATABASE base; DETACH DATABASE theirs;"));
    NullProgress progress;
    result.linesWritten = TdsExport(db, m_prompter, progress).write(outputPath).linesWritten;
    return result;
}
