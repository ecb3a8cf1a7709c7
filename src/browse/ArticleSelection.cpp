#include "browse/ArticleSelection.h"

#include "db/Database.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

const QString kOrderedGroups =
    QStringLiteral("SELECT BL_NAME, DESCRIPTION FROM Designations WHERE BL_NAME IS NOT NULL "
                   "ORDER BY DESCRIPTION COLLATE SV, BL_NAME COLLATE SV");

// Groups whose descriptions sort as equal, in order: the root view shows each such run of
// groups by row number, as one sort by description and row number would.
QList<QStringList> groupsByDescription(Database &db)
{
    QList<QStringList> runs;
    Statement groups = db.prepare(kOrderedGroups);
    Statement same = db.prepare(QStringLiteral("SELECT ?1 IS ?2 OR ?1 = ?2 COLLATE SV"));
    QVariant previous;
    bool first = true;
    QSet<QString> seen;
    while (groups.step()) {
        // A group registered twice is still shown once.
        if (seen.contains(groups.text(0)))
            continue;
        seen.insert(groups.text(0));
        const QVariant description = groups.value(1);
        bool equal = false;
        if (!first) {
            same.bindVariant(1, previous).bindVariant(2, description);
            equal = same.step() && same.int64(0) != 0;
            same.reset();
        }
        if (equal)
            runs.last() << groups.text(0);
        else
            runs << QStringList{groups.text(0)};
        previous = description;
        first = false;
    }
    return runs;
}

// The rows of groups that share a description, together by row number.
Statement severalGroups(Database &db, const QString &columns, const QStringList &names)
{
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    Statement several =
        db.prepare(QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME IN (%2) ORDER BY RAD")
                       .arg(columns, marks.join(QLatin1Char(','))));
    for (qsizetype i = 0; i < names.size(); ++i)
        several.bind(int(i + 1), names.at(i));
    return several;
}

} // namespace

ArticleSelection ArticleSelection::root()
{
    ArticleSelection s;
    s.m_kind = Kind::Root;
    return s;
}

ArticleSelection ArticleSelection::group(const QString &blockName)
{
    ArticleSelection s;
    s.m_kind = Kind::Group;
    s.m_blockName = blockName;
    return s;
}

ArticleSelection ArticleSelection::manufacturer(const QString &manufacturer,
                                                const QString &blockName)
{
    ArticleSelection s;
    s.m_kind = Kind::Manufacturer;
    s.m_blockName = blockName;
    s.m_manufacturer = manufacturer;
    return s;
}

ArticleSelection ArticleSelection::fromTreeKey(const QString &key)
{
    if (key == QLatin1String("@"))
        return root();
    if (key.startsWith(QLatin1Char('!')))
        return group(key.mid(1));
    if (key.startsWith(QLatin1Char('@'))) {
        // The block name follows the last "!", so a manufacturer may contain "!" itself.
        const qsizetype bang = key.lastIndexOf(QLatin1Char('!'));
        if (bang > 0)
            return manufacturer(key.mid(1, bang - 1), key.mid(bang + 1));
    }
    return {};
}

QString ArticleSelection::treeKey() const
{
    switch (m_kind) {
    case Kind::Root:
        return QStringLiteral("@");
    case Kind::Group:
        return QLatin1Char('!') + m_blockName;
    case Kind::Manufacturer:
        return QLatin1Char('@') + m_manufacturer + QLatin1Char('!') + m_blockName;
    case Kind::None:
        break;
    }
    return {};
}

QString ArticleSelection::currentGroup() const
{
    return m_kind == Kind::Root ? QStringLiteral("@") : m_blockName;
}

void ArticleSelection::forEachRow(Database &db,
                                  const std::function<void(const Statement &)> &row) const
{
    forEach(db, QStringLiteral("*"), row);
}

void ArticleSelection::forEachRowWithId(Database &db,
                                        const std::function<void(const Statement &)> &row) const
{
    if (m_kind == Kind::None)
        return;
    const QString rowId = rowIdName(db.columns(QStringLiteral("Articles")));
    forEach(db, QStringLiteral("%1, *").arg(rowId), row);
}

void ArticleSelection::readRowsWithId(Database &db, const RowSink &sink, Share share) const
{
    if (m_kind == Kind::None)
        return;
    if (m_kind != Kind::Root && share.index > 0)
        return;
    const std::vector<ColumnInfo> table = db.columns(QStringLiteral("Articles"));
    const QString columns = QStringLiteral("%1, *").arg(rowIdName(table));
    const auto isRad = [](const ColumnInfo &c) {
        return c.name.compare(QLatin1String("RAD"), Qt::CaseInsensitive) == 0;
    };
    const auto radAt = std::find_if(table.begin(), table.end(), isRad);
    if (m_kind != Kind::Root || radAt == table.end()) {
        if (share.index > 0)
            return;
        forEachUntil(db, columns, [&sink](const Statement &st) {
            sink.row(st);
            return sink.settled();
        });
        return;
    }
    const int rad = int(radAt - table.begin()) + 1;
    Statement stored =
        db.prepare(QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME = ?").arg(columns));
    Statement byNumber = db.prepare(
        QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME = ? ORDER BY RAD").arg(columns));
    const auto runSorted = [&sink](Statement &st) {
        while (st.step())
            sink.row(st);
        st.reset();
        return sink.settled();
    };
    const QList<QStringList> runs = groupsByDescription(db);
    const qsizetype from = runs.size() * share.index / share.of;
    const qsizetype to = runs.size() * (share.index + 1) / share.of;
    for (const QStringList &names : runs.sliced(from, to - from)) {
        if (names.size() > 1) {
            Statement several = severalGroups(db, columns, names);
            if (!runSorted(several))
                return;
            continue;
        }
        // Only whole numbers that rise strictly are the order a sort gives; anything else (a
        // repeated number, an empty one) is left to the engine's sort.
        stored.bind(1, names.first());
        bool rising = true;
        qint64 last = 0;
        for (bool first = true; rising && stored.step(); first = false) {
            rising =
                stored.type(rad) == Statement::Type::Integer && (first || stored.int64(rad) > last);
            if (rising) {
                last = stored.int64(rad);
                sink.row(stored);
            }
        }
        stored.reset();
        if (rising) {
            if (!sink.settled())
                return;
            continue;
        }
        sink.again();
        byNumber.bind(1, names.first());
        if (!runSorted(byNumber))
            return;
    }
}

void ArticleSelection::forEach(Database &db, const QString &columns,
                               const std::function<void(const Statement &)> &row) const
{
    forEachUntil(db, columns, [&row](const Statement &st) {
        row(st);
        return true;
    });
}

void ArticleSelection::forEachUntil(Database &db, const QString &columns,
                                    const std::function<bool(const Statement &)> &row) const
{
    bool stopped = false;
    auto run = [&row, &stopped](Statement &st) {
        while (!stopped && st.step())
            stopped = !row(st);
    };
    switch (m_kind) {
    case Kind::None:
        return;
    case Kind::Group: {
        Statement st = db.prepare(
            QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME = ? ORDER BY RAD").arg(columns));
        st.bind(1, m_blockName);
        run(st);
        return;
    }
    case Kind::Manufacturer: {
        Statement st = db.prepare(QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME = ? "
                                                 "AND FABRIKAT = ? ORDER BY RAD")
                                      .arg(columns));
        st.bind(1, m_blockName).bind(2, m_manufacturer);
        run(st);
        return;
    }
    case Kind::Root: {
        // Group by group through the block-name index instead of sorting every article.
        Statement single = db.prepare(
            QStringLiteral("SELECT %1 FROM Articles WHERE BL_NAME = ? ORDER BY RAD").arg(columns));
        for (const QStringList &names : groupsByDescription(db)) {
            if (names.size() == 1) {
                single.bind(1, names.first());
                run(single);
                if (stopped)
                    return;
                single.reset();
                continue;
            }
            Statement several = severalGroups(db, columns, names);
            run(several);
            if (stopped)
                return;
        }
        return;
    }
    }
}

bool ArticleSelection::hasAtMost(Database &db, qint64 rows) const
{
    if (m_kind != Kind::Group)
        return rowCount(db) <= rows;
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM "
                                    "(SELECT 1 FROM Articles WHERE BL_NAME = ? LIMIT ?)"),
                     m_blockName, rows + 1)
               .toLongLong() <= rows;
}

qint64 ArticleSelection::rowCount(Database &db) const
{
    switch (m_kind) {
    case Kind::None:
        return 0;
    case Kind::Group:
        return db
            .scalar(QStringLiteral("SELECT COUNT(*) FROM Articles WHERE BL_NAME = ?"), m_blockName)
            .toLongLong();
    case Kind::Manufacturer:
        return db
            .scalar(
                QStringLiteral("SELECT COUNT(*) FROM Articles WHERE BL_NAME = ? AND FABRIKAT = ?"),
                m_blockName, m_manufacturer)
            .toLongLong();
    case Kind::Root:
        return db
            .scalar(QStringLiteral("SELECT COUNT(*) FROM Articles WHERE BL_NAME IN "
                                   "(SELECT BL_NAME FROM Designations)"))
            .toLongLong();
    }
    return 0;
}

void ArticleSelection::deleteRows(Database &db) const
{
    switch (m_kind) {
    case Kind::None:
        return;
    case Kind::Group:
        db.prepare(QStringLiteral("DELETE FROM Articles WHERE BL_NAME = ?"))
            .bind(1, m_blockName)
            .run();
        return;
    case Kind::Manufacturer:
        db.prepare(QStringLiteral("DELETE FROM Articles WHERE BL_NAME = ? AND FABRIKAT = ?"))
            .bind(1, m_blockName)
            .bind(2, m_manufacturer)
            .run();
        return;
    case Kind::Root:
        // Only what the root view showed: articles of an unregistered group were not in the
        // grid and must not be lost by saving it.
        db.exec(QStringLiteral(
            "DELETE FROM Articles WHERE BL_NAME IN (SELECT BL_NAME FROM Designations)"));
        return;
    }
}
