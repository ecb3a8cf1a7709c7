#include "app/BatchConversion.h"

#include "browse/ArticleSelection.h"
#include "compare/CatalogueSource.h"
#include "db/Database.h"
#include "sheet/SheetExport.h"
#include "sheet/SheetWriter.h"

#include "core/AppError.h"
#include "core/Paths.h"
#include "core/PickFile.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/RecentFiles.h"
#include "core/Settings.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"
#include "db/WorkingDatabase.h"

#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace {

void recordOpened(const QString &path)
{
    // A conversion needs no settings to succeed: it does not wait for a window that writes them.
    if (!Settings::userStoreIsFree())
        return;
    rememberOpenFolder(path);
    RecentFiles::AddRecentFile(path);
}

// What was tidied up after an earlier, interrupted run is worth a line on stderr.
void printNotes(const QStringList &notes)
{
    QTextStream err(stderr);
    for (const QString &note : notes)
        err << note << Qt::endl;
}

} // namespace

namespace BatchConversion {

int convert(const QString &inputPath, const QString &outputPath, Prompter &prompter,
            bool allowLossy)
{
    const QString input = QFileInfo(inputPath).absoluteFilePath();
    std::optional<WorkingDatabase> working;
    try {
        working.emplace(WorkingDatabase::open(input));
    } catch (const std::exception &e) {
        reportError(prompter, kMainWindow, QStringLiteral("OpenMDB"), e);
        return 1;
    }
    recordOpened(input);
    NullProgress progress;
    TdsExport exporter(working->db(), prompter, progress);
    exporter.setLossPolicy(allowLossy ? TdsExport::LossPolicy::Allow
                                      : TdsExport::LossPolicy::Refuse);
    const ExportResult result = exporter.run(QFileInfo(outputPath).absoluteFilePath());
    printNotes(result.notes);
    if (result.lossDeclined)
        prompter.error(QStringLiteral("Exporten skulle ändra värden och gjordes inte:\n%1\n"
                                      "Ange --allow-lossy för att exportera ändå.")
                           .arg(TdsExport::describeLosses(result.losses).join(QLatin1Char('\n'))),
                       QStringLiteral("Exportera"));
    return result.ok ? 0 : 1;
}

int import(const QString &tdsPath, bool force, Prompter &prompter)
{
    const QString tds = QFileInfo(tdsPath).absoluteFilePath();
    const QString tdb = Paths::siblingOnDisk(Paths::tdbPathFor(tds));
    if (!force && QFileInfo::exists(tdb)) {
        prompter.error(
            QStringLiteral("Filen %1 finns redan. Ange --force för att ersätta den.").arg(tdb),
            QStringLiteral("Radera tidigare version"));
        return 1;
    }
    NullProgress progress;
    TdsImport importer(prompter, progress);
    importer.setReplaceWithoutAsking(force);
    const ImportResult result = importer.run(tds);
    printNotes(result.notes);
    if (!result.ok)
        return 1;
    recordOpened(result.dbPath);
    return 0;
}

int toSheet(const QString &inputPath, const QString &outputPath, const QString &group,
            Prompter &prompter)
{
    try {
        const CatalogueSource source(QFileInfo(inputPath).absoluteFilePath(), prompter);
        Database db(source.databasePath(), Database::OpenMode::ReadOnly);
        const FieldList fields = readFieldList(db);
        const ArticleSelection selection =
            group.isEmpty() ? ArticleSelection::root() : ArticleSelection::group(group);
        if (!group.isEmpty() && selection.rowCount(db) == 0) {
            prompter.error(QStringLiteral("Gruppen %1 finns inte i %2.").arg(group, inputPath));
            return 1;
        }
        const std::unique_ptr<SheetWriter> writer =
            makeSheetWriter(QFileInfo(outputPath).absoluteFilePath());
        NullProgress progress;
        SheetExport::writeCatalogue(db, fields, selection, *writer, progress);
    } catch (const std::exception &e) {
        reportError(prompter, kMainWindow, QStringLiteral("mnuToSheet"), e);
        return 1;
    }
    return 0;
}

} // namespace BatchConversion
