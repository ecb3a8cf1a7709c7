#pragma once

#include "core/AppError.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// An engine failure: the SQLite result code and a description (Swedish for the conditions a
// user can meet: locked file, not a database, cannot open).
class DbError : public AppError
{
public:
    using AppError::AppError;
};

// A column as the catalogue describes it.
struct ColumnInfo
{
    QString name;
    QString declaredType;
    int size = 0; // characters of a text column, 4 for the integer row number
    bool isInteger = false;
    QString description; // the column property "Description", empty when not set
};

// The most bytes one value (or row) may have; a .tdx field holds at most 32767 characters.
inline constexpr int kMaxValueLength = 16 * 1024 * 1024;

class Database;

// A prepared statement with bound values; reset() makes it reusable for the next row.
class Statement
{
public:
    Statement(Database &db, const QString &sql);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&) = delete;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Parameters are 1-based, as in SQLite.
    Statement &bind(int index, const QString &value);
    Statement &bind(int index, qint64 value);
    // Copied at once, unless `copy` is false: then the bytes must stay valid until step().
    Statement &bindUtf8(int index, const char *utf8, qsizetype length, bool copy = true);
    Statement &bindNull(int index);
    Statement &bindVariant(int index, const QVariant &value);

    // Steps once: true while a row is available, false when done.
    bool step();
    // Steps a statement that returns no rows.
    void run();
    void reset();

    // A column's storage class in the current row.
    enum class Type { Integer, Float, Text, Blob, Null };

    int columnCount() const;
    QString columnName(int column) const;
    Type type(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;
    qint64 int64(int column) const;
    QVariant value(int column) const;
    // Raw UTF-8 bytes of a column, valid until the next step.
    const char *utf8(int column, qsizetype *length) const;

private:
    void check(int rc) const;

    Database *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

// The working database connection: RAII over sqlite3, with the Swedish collation "SV" and the
// helper functions the catalogue's SQL uses registered on every open. Its LIKE ignores case
// also outside ASCII (Å Ä Ö); SV_FIND(needle, text, ...) numbers the first text holding a plain
// substring, case and accents ignored as the Swedish collation does (é is e, but å is no a).
class Database
{
public:
    enum class OpenMode { ReadWrite, ReadOnly, Create };

    Database() = default;
    Database(const QString &path, OpenMode mode);
    ~Database();
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Every connection runs with triggers off, in defensive mode and with an untrusted schema.
    void open(const QString &path, OpenMode mode);
    // Tests force a failure half-way through a write with a trigger; connections opened after
    // this call let triggers run. Never used by the program.
    static void allowTriggersForTesting(bool allow);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    const QString &path() const { return m_path; }
    // True when both connections were opened on the very same file, not only the same name:
    // a file put in place of another under its name is a different one.
    bool sameFileAs(const Database &other) const;
    // The name messages give the file: a database built under a temporary name is known to the
    // user by the name it will get.
    void setShownPath(const QString &path) { m_shownPath = path; }

    // Runs one or more statements without results.
    void exec(const QString &sql);
    Statement prepare(const QString &sql) { return Statement(*this, sql); }
    // The rowid the last successful INSERT on this connection gave its row.
    qint64 lastInsertRowId() const;
    // Whether a transaction is open on this connection.
    bool inTransaction() const;
    // Whether the file keeps a write-ahead log: other connections may then commit while this one
    // reads, and the file's change counter stays behind.
    bool usesWriteAheadLog();
    // Whether a second connection to the file, opened meanwhile, sees what this one sees: only
    // inside a read transaction that has read and written nothing, in a file in rollback-journal
    // mode, whose read lock keeps every writer from committing. Check sameFileAs() on the second
    // connection too.
    bool canReadBeside();
    // A read-only connection to the very file `main` has open, for a second reader; none when
    // another file has taken its name meanwhile. May be called on any thread.
    static std::optional<Database> openBeside(const Database &main);

    // First column of the first row; an invalid QVariant for null or no row.
    template <typename... Args> QVariant scalar(const QString &sql, const Args &...args)
    {
        Statement st(*this, sql);
        int index = 1;
        (st.bindVariant(index++, QVariant::fromValue(args)), ...);
        return st.step() ? st.value(0) : QVariant();
    }

    // Catalogue, in catalogue order. Tables whose names begin with "MSys" are ours and hidden.
    QStringList tables();
    std::vector<ColumnInfo> columns(const QString &table);
    QStringList indexes(const QString &table);
    QString columnDescription(const QString &table, const QString &column);
    void setColumnDescription(const QString &table, const QString &column,
                              const QString &description);

    sqlite3 *handle() const { return m_handle; }

    // What this connection changed in Articles since the find index was last seen current at
    // change counter `currentAt` (-1: never): the rowids (or all, when too many) and how many
    // transactions it committed since.
    struct ArticleChanges
    {
        std::vector<qint64> rowIds;
        bool all = false;
        qint64 commits = 0;
        qint64 currentAt = -1;
    };
    ArticleChanges &articleChanges() { return *m_changes; }
    [[noreturn]] void throwError(int rc) const;

private:
    sqlite3 *m_handle = nullptr;
    std::unique_ptr<ArticleChanges> m_changes = std::make_unique<ArticleChanges>();
    QString m_path;
    QString m_shownPath;
    // The opened file's device and inode, both 0 when unknown.
    quint64 m_device = 0;
    quint64 m_inode = 0;
};

// Rolls back unless commit() was called.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

// One consistent view of the database for several reads; takes no write lock. Ends at
// destruction.
class ReadTransaction
{
public:
    explicit ReadTransaction(Database &db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    Database &m_db;
};

// While it lives, a long statement on the connection calls `turn` about every `intervalMs`, so
// the window repaints and its progress bar moves between the rows of one statement. One at a
// time per connection.
class StatementPulse
{
public:
    StatementPulse(Database &db, std::function<void()> turn, int intervalMs = 40);
    ~StatementPulse();
    StatementPulse(const StatementPulse &) = delete;
    StatementPulse &operator=(const StatementPulse &) = delete;

private:
    static int tick(void *self);

    Database &m_db;
    std::function<void()> m_turn;
    QElapsedTimer m_timer;
    int m_intervalMs;
};

// Quotes a table or column name as an SQL identifier ("TBH/APP", "BENÄMNING").
QString quoteIdentifier(const QString &name);

// A name that reaches a table's rowid ("rowid", "_rowid_" or "oid"; a column of the same name
// would hide it), given the table's columns; throws when its columns hide all three.
QString rowIdName(const std::vector<ColumnInfo> &columns);

// Size of a declared type such as VARCHAR(40); 4 for INTEGER, 0 when none is given.
int sizeFromDeclaredType(const QString &declaredType);

// The hidden table that keeps the column property "Description".
inline constexpr const char *kDescriptionTable = "MSysColumnDescriptions";
