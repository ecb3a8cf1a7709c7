#include "app/CatalogueCommands.h"

#include "app/CommandLine.h"
#include "compare/CatalogueComparison.h"
#include "compare/ComparisonReport.h"
#include "compare/ThreeWayMerge.h"
#include "core/AppError.h"

#include <QTextStream>

#include <new>

namespace {

constexpr int kError = 2;

// Runs a command; a failure is told on stderr and gives exit code 2.
template <typename Work> int guarded(Work work)
{
    QTextStream err(stderr);
    try {
        return work();
    } catch (const AppError &e) {
        err << "kvistbo: " << e.description() << Qt::endl;
    } catch (const std::bad_alloc &) {
        err << "kvistbo: katalogerna är för stora för minnet." << Qt::endl;
    } catch (const std::exception &e) {
        err << "kvistbo: " << QString::fromLocal8Bit(e.what()) << Qt::endl;
    }
    return kError;
}

QString quoted(const QString &value)
{
    return QLatin1Char('"') + value + QLatin1Char('"');
}

void printConflicts(const MergeResult &result, const QString &outputPath, QTextStream &out)
{
    for (const MergeConflict &c : result.conflicts) {
        out << "KONFLIKT grupp " << c.group;
        if (!c.type.isEmpty() || !c.key.isEmpty())
            out << ", typ " << c.type << " (" << c.key << ")";
        out << ", fält " << c.field << ": bas " << quoted(c.base) << ", vår " << quoted(c.ours)
            << ", deras " << quoted(c.theirs) << "\n";
    }
    if (result.conflicts.isEmpty())
        out << "Sammanfogat utan konflikter till " << outputPath << " (" << result.takenFromTheirs
            << " ändringar från deras sida).\n";
    else
        out << result.conflicts.size() << " konflikter; " << outputPath
            << " har vår sida för dem.\n";
}

} // namespace

namespace CatalogueCommands {

int diff(const CommandLine &commandLine, QTextStream &out, Prompter &prompter)
{
    return guarded([&] {
        CatalogueComparison comparison(prompter);
        if (!commandLine.keyFields.isEmpty())
            comparison.setKeyFields(commandLine.keyFields);
        comparison.setTdxPath(commandLine.tdxPath);
        const QString &a = commandLine.catalogues.at(0);
        const QString &b = commandLine.catalogues.at(1);
        const CatalogueDifferences d = comparison.compare(a, b);
        if (commandLine.format == QLatin1String("tsv"))
            out << ComparisonReport::tsv(d);
        else if (commandLine.format == QLatin1String("json"))
            out << QString::fromUtf8(ComparisonReport::json(d));
        else
            out << ComparisonReport::text(d, a, b);
        out.flush();
        return d.isEmpty() ? 0 : 1;
    });
}

int merge(const CommandLine &commandLine, QTextStream &out, Prompter &prompter)
{
    return guarded([&] {
        ThreeWayMerge merge(prompter);
        merge.setKeyFields(commandLine.keyFields);
        merge.setTdxPath(commandLine.tdxPath);
        const QStringList &c = commandLine.catalogues;
        const MergeResult result = merge.run(c.at(0), c.at(1), c.at(2), commandLine.outputPath);
        printConflicts(result, commandLine.outputPath, out);
        out.flush();
        return result.conflicts.isEmpty() ? 0 : 1;
    });
}

} // namespace CatalogueCommands
