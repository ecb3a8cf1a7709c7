#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class Database;
struct ColumnInfo;
namespace SafeFile {
class Output;
}
class Progress;
class Prompter;

// Values of one field the export could not write as they are.
struct FieldLoss
{
    QString field;
    qint64 cut = 0;      // values longer than the field, cut to it
    qint64 replaced = 0; // values with characters Windows-1252 cannot hold, written as '?'

    bool operator==(const FieldLoss &other) const = default;
};

struct ExportResult
{
    bool ok = false;
    // Values would have been cut or replaced and the export was not wanted so: no file changed.
    bool lossDeclined = false;
    QList<FieldLoss> losses;
    qint64 linesWritten = 0;
    qsizetype replacedCharacters = 0; // characters Windows-1252 cannot hold, written as '?'
    QStringList notes; // what was tidied up after an earlier run (left-over temporary files)
};

// A code pair: the group prefix + code is equivalent to the group prefix + target.
struct EquivalenceCodePair
{
    const char *code;
    const char *target;
};

extern const std::array<EquivalenceCodePair, 47> EquivalenceCodePairs;

// Writes the open working database to a .tds file and its .tdx file: article lines, ordinary
// equivalence lines, then "=" equivalence lines whose target exists. Both files are written
// completely and synced to disk under temporary names, then replace the old pair as one unit,
// so existing ones stay untouched unless both new ones are complete.
class TdsExport
{
public:
    // What happens when values would be cut or replaced: ask (the window), refuse (the command
    // line) or write them anyway (--allow-lossy). Either way the old files stay unless the new
    // ones are written.
    enum class LossPolicy { Ask, Refuse, Allow };

    TdsExport(Database &db, Prompter &prompter, Progress &progress);

    void setLossPolicy(LossPolicy policy) { m_lossPolicy = policy; }
    // "BENÄMNING: 2 kapas" and the like, a line per field.
    static QStringList describeLosses(const QList<FieldLoss> &losses);

    // Every failure is reported through the prompter.
    ExportResult run(const QString &outputPath);
    // The export itself: throws on any failure, leaving existing files untouched.
    ExportResult write(const QString &outputPath);

    // Adds the missing "=" rows of EquivalenceCodePairs to Eqv; returns how many it added.
    static int completeEquivalences(Database &db, const QString &prefix);
    // The library prefix: the first four characters of the greatest block name.
    static QString libraryPrefix(Database &db);

private:
    Database &m_db;
    Prompter &m_prompter;
    Progress &m_progress;
    QStringList m_notes;
    LossPolicy m_lossPolicy = LossPolicy::Ask;

    bool lossAccepted(const QList<FieldLoss> &losses);
    void settleTargets(const QString &outputPath, const QString &tdxPath);
    void writeArticles(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns, bool byType,
                       qint64 &handled, ExportResult &result);
    class GroupRanks;
    class StoredOrder;
    struct RowRange;
    enum class Outcome { Written, OutOfOrder, Uneven };
    Outcome writeInOnePass(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                           const GroupRanks &ranks, bool twoReaders, qint64 &handled,
                           ExportResult &result);
    Outcome writeGroupSpans(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                            const GroupRanks &ranks, bool twoReaders, qint64 &handled,
                            ExportResult &result);
    Outcome writeRanges(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                        const std::vector<RowRange> &ranges, const StoredOrder *order,
                        bool twoReaders, qint64 &handled, ExportResult &result);
    bool writeInStoredOrder(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                            qint64 &handled, ExportResult &result);
    void writeEquivalences(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                           qint64 &handled, ExportResult &result);
};
