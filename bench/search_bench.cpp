// Times finding a text in every column of the articles of a working database. Prints figures;
// never judges them.
//
//   kvistbo_bench_search DB.tdb TEXT         opens the database and runs the search
//   kvistbo_bench_search --sql DB.tdb TEXT   prints the same query for the sqlite3 shell, with
//                                            its LIKE where we call SV_FIND, the pattern
//                                            and the limit bound through .param set

#include "BenchFailure.h"
#include "browse/ArticleSearch.h"
#include "core/AppError.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <exception>

namespace {

constexpr int kLimit = 500;

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_search DB.tdb TEXT\n"
                         "       kvistbo_bench_search --sql DB.tdb TEXT\n");
    return 2;
}

// An SQL string literal, for the shell's .param set only.
QString literal(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The text as a LIKE pattern for a substring, with '\' as the escape character.
QString likePattern(const QString &text)
{
    QString escaped = QStringLiteral("%");
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool printSql = args.size() == 4 && args.at(1) == QLatin1String("--sql");
    if (!printSql && args.size() != 3)
        return usage();

    try {
        if (printSql) {
            Database db(args.at(2), Database::OpenMode::ReadOnly);
            // The shell has neither the Swedish collation nor SV_FIND: it sorts bytewise and
            // tests each cell with its LIKE, which folds ASCII only.
            QString sql = ArticleSearch::findSql(db, QStringLiteral("%1 LIKE ?1 ESCAPE '\\'"));
            sql.replace(QLatin1String(" COLLATE SV"), QString());
            std::printf(".param set ?1 %s\n.param set ?2 %d\n%s;\n",
                        literal(likePattern(args.at(3))).toUtf8().constData(), kLimit,
                        sql.toUtf8().constData());
            return 0;
        }
        QElapsedTimer timer;
        timer.start();
        Database db(args.at(1), Database::OpenMode::ReadOnly);
        const QList<ArticleSearch::Hit> hits = ArticleSearch::find(db, args.at(2), kLimit);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("open_find_ms=%.1f hits=%lld\n", ms, qint64(hits.size()));
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
    return 0;
}
