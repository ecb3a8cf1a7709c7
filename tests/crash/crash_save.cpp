// A database save driven without a window, for the crash test: "save VALUE" writes VALUE into
// the designation of every article of one group in one save; "check" prints the integrity
// check's answer, the number of articles and the distinct values the group holds (one when no
// save was torn).
#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridStore.h"
#include "core/Progress.h"
#include "db/WorkingDatabase.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include <exception>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.size() < 4) {
        out << "usage: crash_save TDB GROUP save VALUE | crash_save TDB GROUP check\n";
        return 2;
    }
    try {
        WorkingDatabase working = WorkingDatabase::open(args.at(1));
        Database &db = working.db();
        const ArticleSelection group = ArticleSelection::group(args.at(2));
        if (args.at(3) == QLatin1String("check")) {
            out << db.scalar(QStringLiteral("PRAGMA integrity_check")).toString() << ' '
                << db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles")).toLongLong();
            Statement st = db.prepare(QStringLiteral(
                "SELECT DISTINCT substr(\"BENÄMNING\", 1, instr(\"BENÄMNING\", ' ') - 1) "
                "FROM Articles WHERE BL_NAME = ? ORDER BY 1"));
            st.bind(1, args.at(2));
            while (st.step())
                out << ' ' << st.text(0);
            out << '\n';
            return 0;
        }
        ArticleGrid grid;
        grid.setupColumns(working.fields());
        NullProgress progress;
        GridStore::PopulateGrid(db, group, grid, progress);
        const int designation = grid.GetColumn(QStringLiteral("BENÄMNING"));
        for (int row = 1; row < grid.rows(); ++row)
            grid.setText(row, designation, args.at(4) + QLatin1Char(' ') + QString::number(row));
        GridStore::saveGrid(db, group, grid, progress);
    } catch (const std::exception &e) {
        QTextStream(stderr) << e.what() << '\n';
        return 1;
    }
    return 0;
}
