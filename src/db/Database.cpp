#include "db/Database.h"

#include "core/SwedishFold.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <sys/stat.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace {

QString describe(sqlite3 *handle, int rc, const QString &path = {})
{
    switch (rc & 0xff) {
    case SQLITE_IOERR:
        return QStringLiteral("In- eller utmatningsfel (I/O-fel) i databasfilen %1.").arg(path);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Databasen är låst av annan användare eller annat program.");
    case SQLITE_NOTADB:
        return QStringLiteral("Filen är ingen databas.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Kan ej öppna databasfilen.");
    case SQLITE_READONLY:
        return QStringLiteral("Databasen är skrivskyddad.");
    case SQLITE_CORRUPT:
        return QStringLiteral("Databasfilen är skadad.");
    case SQLITE_FULL:
        return QStringLiteral("Disken är full.");
    default:
        break;
    }
    if (handle)
        return QString::fromUtf8(sqlite3_errmsg(handle));
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// Swedish order at secondary strength: case ignored, accents not, Å Ä Ö after Z.
int compareSwedish(void *collator, int lengthA, const void *a, int lengthB, const void *b)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(static_cast<UCollator *>(collator), static_cast<const char *>(a), lengthA,
                         static_cast<const char *>(b), lengthB, &status);
    if (U_FAILURE(status))
        return 0;
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

void destroyCollator(void *collator)
{
    ucol_close(static_cast<UCollator *>(collator));
}

void registerSwedishCollation(sqlite3 *handle)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open("sv", &status);
    if (U_FAILURE(status) || !collator)
        throw DbError(ErrorNumber::Unexpected,
                      QStringLiteral("Den svenska sorteringsordningen saknas (ICU)."));
    ucol_setStrength(collator, UCOL_SECONDARY);
    sqlite3_create_collation_v2(handle, "SV", SQLITE_UTF8, collator, compareSwedish,
                                destroyCollator);
}

// CLNG(x): a whole 32-bit number from text or number, rounded half to even; anything else is an
// error, so a sort by a non-numeric type fails loudly instead of ordering wrongly.
void clng(sqlite3_context *context, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    double number = 0;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        number = double(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        number = sqlite3_value_double(v);
        break;
    case SQLITE_NULL:
        sqlite3_result_error(context, "Ogiltig användning av Null (CLNG)", -1);
        return;
    default: {
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                              sqlite3_value_bytes(v))
                .trimmed();
        bool ok = false;
        number = text.toDouble(&ok);
        if (!ok) {
            const QByteArray message =
                QStringLiteral("Typerna stämmer inte överens: '%1' är inget tal")
                    .arg(text)
                    .toUtf8();
            sqlite3_result_error(context, message.constData(), int(message.size()));
            return;
        }
    }
    }
    const double rounded = std::nearbyint(number);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        sqlite3_result_error(context, "Spill (CLNG)", -1);
        return;
    }
    sqlite3_result_int64(context, qint64(rounded));
}

// LIKE that ignores case beyond ASCII, so "åter%" finds "ÅTERFÖRSÄLJARE" as "tillb%" finds
// "TILLBEHÖR". like(pattern, text[, escape]) as SQLite calls it; a null argument gives null.
void likeIgnoringCase(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const auto *pattern = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int textBytes = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text)
        return;
    // Long patterns with many % take exponential time; SQLite's own LIKE refuses them too.
    if (patternBytes >
        sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    QString escape;
    if (argc == 3) {
        const auto *escapeText = reinterpret_cast<const char *>(sqlite3_value_text(argv[2]));
        if (!escapeText)
            return;
        escape = QString::fromUtf8(escapeText, sqlite3_value_bytes(argv[2]));
        if (escape.toUcs4().size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const auto codePoint = [](const QString &character) {
        return character.isEmpty() ? 0u : unsigned(character.toUcs4().constFirst());
    };

    const auto isAscii = [](const char *bytes, int size) {
        return std::all_of(bytes, bytes + size, [](char c) { return (c & 0x80) == 0; });
    };
    int unmatched = 0;
    // sqlite3_strlike folds ASCII itself. An ASCII pattern needs no more: no character a
    // Windows-1252 text can hold folds to an ASCII one.
    if (isAscii(pattern, patternBytes) && codePoint(escape) < 0x80) {
        unmatched = sqlite3_strlike(pattern, text, codePoint(escape));
    } else {
        // The escape character is folded with the pattern, so it still finds itself there.
        const QByteArray foldedPattern =
            QString::fromUtf8(pattern, patternBytes).toCaseFolded().toUtf8();
        const QByteArray foldedText = QString::fromUtf8(text, textBytes).toCaseFolded().toUtf8();
        unmatched = sqlite3_strlike(foldedPattern.constData(), foldedText.constData(),
                                    codePoint(escape.toCaseFolded()));
    }
    sqlite3_result_int(context, unmatched == 0 ? 1 : 0);
}

// The needle of SV_FIND folded once per statement, and room to fold each text into.
struct FoldedNeedle
{
    std::string needle;
    std::string text;
};

void appendFolded(sqlite3_value *value, std::string &out)
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_value_text(value));
    SwedishFold::appendFoldedUtf8(utf8, sqlite3_value_bytes(value), out);
}

// SV_FIND(needle, text, ...): the number, from 1, of the first text that holds the needle as the
// Swedish collation sees them at primary strength (case and accents ignored, Å Ä Ö letters of
// their own), 0 when none does; null for a null needle. A null text holds nothing. The needle is
// plain text: % _ and \ stand for themselves. One call takes a whole row's cells, which costs
// far less than joining them or a call per cell.
void findSwedish(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    try {
        auto *folded = static_cast<FoldedNeedle *>(sqlite3_get_auxdata(context, 0));
        std::unique_ptr<FoldedNeedle> fresh;
        if (!folded) {
            fresh = std::make_unique<FoldedNeedle>();
            appendFolded(argv[0], fresh->needle);
            folded = fresh.get();
        }
        int found = 0;
        for (int i = 1; i < argc && found == 0; ++i) {
            if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
                continue;
            folded->text.clear();
            appendFolded(argv[i], folded->text);
            if (std::string_view(folded->text).find(folded->needle) != std::string_view::npos)
                found = i;
        }
        sqlite3_result_int(context, found);
        // SQLite keeps the folded needle while the statement runs, or frees it right away.
        if (fresh) {
            sqlite3_set_auxdata(context, 0, fresh.release(),
                                [](void *p) { delete static_cast<FoldedNeedle *>(p); });
        }
    } catch (const std::exception &e) {
        sqlite3_result_error(context, e.what(), -1);
    }
}

// SV_FOLDROW(text, ...): the fold of every text (as in SV_FIND), joined by a unit separator; a
// null text adds nothing but its separator. What the find index keeps of an article.
void foldRow(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    try {
        std::string out;
        for (int i = 0; i < argc; ++i) {
            if (i > 0)
                out += '\x1f';
            if (sqlite3_value_type(argv[i]) != SQLITE_NULL)
                appendFolded(argv[i], out);
        }
        sqlite3_result_text64(context, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (const std::exception &e) {
        sqlite3_result_error(context, e.what(), -1);
    }
}

// SV_HOLDS(haystack, needle): 1 when the text holds the needle byte for byte; no folding.
void holds(sqlite3_context *context, int, sqlite3_value **argv)
{
    const auto *hay = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const auto *needle = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    if (!hay || !needle)
        return;
    const std::string_view text(hay, size_t(sqlite3_value_bytes(argv[0])));
    sqlite3_result_int(context, text.find(std::string_view(
                                    needle, size_t(sqlite3_value_bytes(argv[1])))) != text.npos);
}

// More changed rows than this are cheaper to fold again all at once.
constexpr size_t kMaxTracked = 50000;

void articleChanged(void *data, int, const char *database, const char *table, sqlite3_int64 rowId)
{
    auto *changes = static_cast<Database::ArticleChanges *>(data);
    if (changes->all || std::strcmp(database, "main") != 0 ||
        sqlite3_stricmp(table, "Articles") != 0)
        return;
    if (changes->rowIds.size() >= kMaxTracked) {
        changes->all = true;
        changes->rowIds.clear();
        changes->rowIds.shrink_to_fit();
        return;
    }
    changes->rowIds.push_back(rowId);
}

int committed(void *data)
{
    ++static_cast<Database::ArticleChanges *>(data)->commits;
    return 0;
}

bool g_triggersAllowed = false;

// A database file is data from elsewhere: nothing stored in it may run on our connection.
// Triggers stay off, the schema cannot be written around the engine (defensive), and functions
// of ours are never called from views, defaults or indexes stored in the file.
void harden(sqlite3 *handle)
{
    int applied = 0;
    sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_TRIGGER, g_triggersAllowed ? 1 : 0, &applied);
    if (applied != (g_triggersAllowed ? 1 : 0))
        throw DbError(SQLITE_ERROR, QStringLiteral("Utlösare (triggers) kan inte stängas av."));
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, &applied);
    if (applied != 1)
        throw DbError(SQLITE_ERROR, QStringLiteral("Databasens skyddade läge kan inte slås på."));
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &applied);
    if (applied != 0)
        throw DbError(SQLITE_ERROR, QStringLiteral("Databasens schema kan inte göras obetrott."));
}

} // namespace

// ---------------------------------------------------------------------------------- Statement

Statement::Statement(Database &db, const QString &sql) : m_db(&db)
{
    if (!db.isOpen())
        throw DbError(SQLITE_MISUSE, QStringLiteral("Ingen databas är öppen."));
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        db.throwError(rc);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db), m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK)
        m_db->throwError(rc);
}

Statement &Statement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    check(sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index, value));
    return *this;
}

Statement &Statement::bindUtf8(int index, const char *utf8, qsizetype length, bool copy)
{
    // An empty text stays text (not null): blank fields are stored as empty text.
    check(sqlite3_bind_text(m_stmt, index, length ? utf8 : "", int(length),
                            copy ? SQLITE_TRANSIENT : SQLITE_STATIC));
    return *this;
}

Statement &Statement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index));
    return *this;
}

Statement &Statement::bindVariant(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return bind(index, value.toLongLong());
    default:
        return bind(index, value.toString());
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db->throwError(rc);
}

void Statement::run()
{
    while (step()) {
    }
    // Bindings stay: a reused statement binds every value again anyway.
    sqlite3_reset(m_stmt);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Float;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, column));
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    default:
        return QVariant(text(column));
    }
}

const char *Statement::utf8(int column, qsizetype *length) const
{
    // One call finds the cell instead of two: the export and the grid read every cell this
    // way. The value is "unprotected" only in the sense of the connection's mutex, which a
    // connection opened without one (one thread each, as here) does not have.
    sqlite3_value *value = sqlite3_column_value(m_stmt, column);
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(value));
    *length = sqlite3_value_bytes(value);
    return p;
}

// ----------------------------------------------------------------------------------- Database

Database::Database(const QString &path, OpenMode mode)
{
    open(path, mode);
}

Database::~Database()
{
    close();
}

Database::Database(Database &&other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)),
      m_changes(std::exchange(other.m_changes, std::make_unique<ArticleChanges>())),
      m_path(std::move(other.m_path)), m_shownPath(std::move(other.m_shownPath)),
      m_device(std::exchange(other.m_device, 0)), m_inode(std::exchange(other.m_inode, 0))
{
}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_handle = std::exchange(other.m_handle, nullptr);
        std::swap(m_changes, other.m_changes);
        m_path = std::move(other.m_path);
        m_shownPath = std::move(other.m_shownPath);
        m_device = std::exchange(other.m_device, 0);
        m_inode = std::exchange(other.m_inode, 0);
    }
    return *this;
}

void Database::open(const QString &path, OpenMode mode)
{
    // Without the engine's memory statistics its allocations take no lock shared by every
    // connection, so two threads reading (the export's two readers) do not wait on each other.
    // Only possible before the engine starts; later calls change nothing.
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(configured);
    close();
    int flags = SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::ReadOnly)
        flags = SQLITE_OPEN_READONLY;
    else if (mode == OpenMode::Create)
        flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // A connection is used by one thread only, so it needs no lock around every call.
    flags |= SQLITE_OPEN_NOMUTEX;
    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString description = describe(handle, rc, path);
        sqlite3_close_v2(handle);
        throw DbError(rc & 0xff, description);
    }
    m_handle = handle;
    m_path = path;
    struct stat opened = {};
    if (::stat(QFile::encodeName(path).constData(), &opened) == 0) {
        m_device = quint64(opened.st_dev);
        m_inode = quint64(opened.st_ino);
    } else {
        m_device = m_inode = 0;
    }
    m_shownPath.clear();
    sqlite3_extended_result_codes(m_handle, 1);
    sqlite3_busy_timeout(m_handle, 2000);
    // No value of a catalogue comes near this; a hostile database cannot make a read build
    // gigabytes in memory.
    sqlite3_limit(m_handle, SQLITE_LIMIT_LENGTH, kMaxValueLength);
    try {
        harden(m_handle);
        registerSwedishCollation(m_handle);
        sqlite3_create_function(m_handle, "CLNG", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                clng, nullptr, nullptr);
        for (const int arguments : {2, 3})
            sqlite3_create_function(m_handle, "like", arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                    nullptr, likeIgnoringCase, nullptr, nullptr);
        sqlite3_create_function(m_handle, "SV_FIND", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, findSwedish, nullptr, nullptr);
        sqlite3_create_function(m_handle, "SV_FOLDROW", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, foldRow, nullptr, nullptr);
        sqlite3_create_function(m_handle, "SV_HOLDS", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, holds, nullptr, nullptr);
        *m_changes = ArticleChanges();
        sqlite3_update_hook(m_handle, articleChanged, m_changes.get());
        sqlite3_commit_hook(m_handle, committed, m_changes.get());
        // Reading the schema tells a database from any other file right away.
        exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (...) {
        close();
        throw;
    }
}

void Database::allowTriggersForTesting(bool allow)
{
    g_triggersAllowed = allow;
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(m_handle) == 0;
}

bool Database::usesWriteAheadLog()
{
    return scalar(QStringLiteral("PRAGMA journal_mode"))
               .toString()
               .compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
}

bool Database::canReadBeside()
{
    if (m_path.isEmpty() || m_path == QLatin1String(":memory:") ||
        m_path.startsWith(QLatin1String("file:")))
        return false;
    // Holding the read lock, and nothing written of its own that another connection would miss.
    if (!m_handle || sqlite3_txn_state(m_handle, "main") != SQLITE_TXN_READ)
        return false;
    return !usesWriteAheadLog();
}

std::optional<Database> Database::openBeside(const Database &main)
{
    Database beside(main.path(), OpenMode::ReadOnly);
    if (!beside.sameFileAs(main))
        return std::nullopt;
    return beside;
}

bool Database::sameFileAs(const Database &other) const
{
    return m_inode != 0 && m_device == other.m_device && m_inode == other.m_inode;
}

void Database::close()
{
    if (m_handle) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
}

void Database::throwError(int rc) const
{
    throw DbError(rc & 0xff, describe(m_handle, rc, m_shownPath.isEmpty() ? m_path : m_shownPath));
}

void Database::exec(const QString &sql)
{
    if (!m_handle)
        throw DbError(SQLITE_MISUSE, QStringLiteral("Ingen databas är öppen."));
    char *message = nullptr;
    const int rc = sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        throwError(rc);
}

QStringList Database::tables()
{
    QStringList names;
    Statement st(*this,
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (st.step()) {
        const QString name = st.text(0);
        if (!name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

std::vector<ColumnInfo> Database::columns(const QString &table)
{
    std::vector<ColumnInfo> result;
    Statement st(*this, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    st.bind(1, table);
    while (st.step()) {
        ColumnInfo column;
        column.name = st.text(0);
        column.declaredType = st.text(1);
        column.size = sizeFromDeclaredType(column.declaredType);
        column.isInteger =
            column.declaredType.startsWith(QLatin1String("INT"), Qt::CaseInsensitive);
        result.push_back(column);
    }
    // Descriptions are looked up ignoring case, as every name here is.
    if (result.empty())
        return result;
    Statement names(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                          "AND name = ?"));
    names.bind(1, QString::fromLatin1(kDescriptionTable));
    if (!names.step())
        return result;
    Statement d(*this, QStringLiteral("SELECT TableName, ColumnName, Description FROM %1")
                           .arg(QString::fromLatin1(kDescriptionTable)));
    while (d.step()) {
        if (d.text(0).compare(table, Qt::CaseInsensitive) != 0)
            continue;
        for (ColumnInfo &column : result) {
            if (column.name.compare(d.text(1), Qt::CaseInsensitive) == 0)
                column.description = d.text(2);
        }
    }
    return result;
}

QStringList Database::indexes(const QString &table)
{
    QStringList names;
    Statement st(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                       "AND tbl_name = ? ORDER BY rowid"));
    st.bind(1, table);
    while (st.step())
        names << st.text(0);
    return names;
}

QString Database::columnDescription(const QString &table, const QString &column)
{
    for (const ColumnInfo &info : columns(table)) {
        if (info.name.compare(column, Qt::CaseInsensitive) == 0)
            return info.description;
    }
    return {};
}

void Database::setColumnDescription(const QString &table, const QString &column,
                                    const QString &description)
{
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (TableName TEXT, ColumnName TEXT, "
                        "Description TEXT)")
             .arg(QString::fromLatin1(kDescriptionTable)));
    Statement remove(*this, QStringLiteral("DELETE FROM %1 WHERE TableName = ? AND ColumnName = ?")
                                .arg(QString::fromLatin1(kDescriptionTable)));
    remove.bind(1, table).bind(2, column).run();
    Statement insert(*this, QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?)")
                                .arg(QString::fromLatin1(kDescriptionTable)));
    insert.bind(1, table).bind(2, column).bind(3, description).run();
}

// ----------------------------------------------------------------------------- StatementPulse

StatementPulse::StatementPulse(Database &db, std::function<void()> turn, int intervalMs)
    : m_db(db), m_turn(std::move(turn)), m_intervalMs(intervalMs)
{
    m_timer.start();
    // A few thousand engine steps take well under a millisecond.
    sqlite3_progress_handler(m_db.handle(), 4000, &StatementPulse::tick, this);
}

StatementPulse::~StatementPulse()
{
    if (m_db.handle())
        sqlite3_progress_handler(m_db.handle(), 0, nullptr, nullptr);
}

int StatementPulse::tick(void *self)
{
    auto *pulse = static_cast<StatementPulse *>(self);
    if (pulse->m_timer.elapsed() >= pulse->m_intervalMs) {
        pulse->m_timer.restart();
        try {
            pulse->m_turn();
        } catch (...) {
        }
    }
    return 0; // never interrupts the statement
}

// -------------------------------------------------------------------------------- Transaction

ReadTransaction::ReadTransaction(Database &db) : m_db(db)
{
    m_db.exec(QStringLiteral("BEGIN"));
}

ReadTransaction::~ReadTransaction()
{
    try {
        m_db.exec(QStringLiteral("ROLLBACK"));
    } catch (...) {
    }
}

Transaction::Transaction(Database &db) : m_db(db)
{
    m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

// ------------------------------------------------------------------------------------ helpers

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString rowIdName(const std::vector<ColumnInfo> &columns)
{
    for (const char *name : {"rowid", "_rowid_", "oid"}) {
        const QString candidate = QLatin1String(name);
        const bool hidden = std::any_of(columns.begin(), columns.end(), [&](const ColumnInfo &c) {
            return c.name.compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (!hidden)
            return candidate;
    }
    throw DbError(SQLITE_ERROR,
                  QStringLiteral("Tabellen har kolumner som heter rowid, _rowid_ och oid."));
}

int sizeFromDeclaredType(const QString &declaredType)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const QRegularExpressionMatch m = size.match(declaredType);
    if (m.hasMatch())
        return m.captured(1).toInt();
    if (declaredType.startsWith(QLatin1String("INT"), Qt::CaseInsensitive))
        return 4;
    return 0;
}
