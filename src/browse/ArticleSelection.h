#pragma once

#include <QString>

#include <functional>

class Database;
class Statement;

// What the article grid shows: every article (the root), one group, or one manufacturer of a
// group. It yields the rows to show and deletes exactly those rows again when the grid is
// saved; values are always bound, so names with apostrophes or "!" work.
class ArticleSelection
{
public:
    enum class Kind { None, Root, Group, Manufacturer };

    ArticleSelection() = default;
    static ArticleSelection root();
    static ArticleSelection group(const QString &blockName);
    static ArticleSelection manufacturer(const QString &manufacturer, const QString &blockName);
    // From a tree key: "@" the root, "!" + block name a group, "@" + manufacturer + "!" + block
    // name a manufacturer (the block name follows the last "!").
    static ArticleSelection fromTreeKey(const QString &key);

    Kind kind() const { return m_kind; }
    bool isValid() const { return m_kind != Kind::None; }
    QString treeKey() const;
    // The block name of the shown group; "@" for the root.
    QString currentGroup() const;
    const QString &blockName() const { return m_blockName; }
    const QString &manufacturerName() const { return m_manufacturer; }
    // One group or one manufacturer is shown (editing and pasting depend on it).
    bool singleGroupView() const { return m_kind == Kind::Group || m_kind == Kind::Manufacturer; }

    // Calls `row` for every article shown, in the grid's order (columns of Articles in table
    // order): a group by row number; the root by group description (Swedish order), then row
    // number, leaving out articles whose group is not registered.
    void forEachRow(Database &db, const std::function<void(const Statement &)> &row) const;
    // The same rows with each one's rowid as column 0, the columns of Articles after it.
    void forEachRowWithId(Database &db, const std::function<void(const Statement &)> &row) const;
    // Where readRowsWithId hands its rows.
    struct RowSink
    {
        // A row with its rowid as column 0 and the columns of Articles after it.
        std::function<void(const Statement &)> row;
        // The rows since the last call will not come again; false stops the reading.
        std::function<bool()> settled;
        // Forget the rows since the last `settled`: they come once more, in another order.
        std::function<void()> again;
    };
    // A part of the view for readers side by side: of the root's groups, those from
    // index / of of the way to (index + 1) / of; every other view is the first part alone.
    struct Share
    {
        int index;
        int of;
    };
    // The rows of forEachRowWithId. The root view reads a group in storage order first: its row
    // numbers nearly always rise with it, and then the engine need not sort it.
    void readRowsWithId(Database &db, const RowSink &sink, Share share = {0, 1}) const;
    qint64 rowCount(Database &db) const;
    // Whether the view has no more than `rows` rows; a group is counted no further than that.
    bool hasAtMost(Database &db, qint64 rows) const;
    // Deletes exactly the rows forEachRow shows.
    void deleteRows(Database &db) const;

    bool operator==(const ArticleSelection &other) const = default;

private:
    void forEachUntil(Database &db, const QString &columns,
                      const std::function<bool(const Statement &)> &row) const;
    void forEach(Database &db, const QString &columns,
                 const std::function<void(const Statement &)> &row) const;

    Kind m_kind = Kind::None;
    QString m_blockName;
    QString m_manufacturer;
};
