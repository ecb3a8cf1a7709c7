#include "app/CheckCommand.h"

#include "check/CatalogueCheck.h"
#include "check/CheckReport.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "edit/AccessoryPick.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kFindings = 1;
constexpr int kFailed = 2;

// A file of the temporary folder standing for `source`: a link, or a copy where links fail.
bool placeInto(const QString &source, const QString &target)
{
    return QFile::link(source, target) || QFile::copy(source, target);
}

} // namespace

CheckCommand::CheckCommand(Prompter &prompter) : m_prompter(prompter) {}

int CheckCommand::run(const QString &path, Format format, Severity least, QTextStream &out)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(file).isFile()) {
        m_prompter.error(QStringLiteral("Hittar ej filen %1").arg(file));
        return kFailed;
    }
    const bool exchangeFile = file.endsWith(QLatin1String(".tds"), Qt::CaseInsensitive);
    const std::optional<Findings> all =
        exchangeFile ? checkExchangeFile(file) : checkDatabase(file);
    if (!all)
        return kFailed;
    const Findings shown = atLeast(*all, least);
    if (format == Format::Json)
        out << QString::fromUtf8(CheckReport::json(shown, file));
    else
        out << CheckReport::text(shown);
    out.flush();
    return shown.isEmpty() ? 0 : kFindings;
}

std::optional<Findings> CheckCommand::checkDatabase(const QString &tdbPath)
{
    try {
        Database db(tdbPath, Database::OpenMode::ReadOnly);
        return CatalogueCheck(db, AccessoryPick::accessoryPrefix()).run();
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCheck"), e);
        return std::nullopt;
    }
}

// The import builds its database beside the .tds file; the pair is placed in a temporary
// folder first, so the user's folder is never written and everything goes with the folder.
std::optional<Findings> CheckCommand::checkExchangeFile(const QString &tdsPath)
{
    QTemporaryDir folder;
    const QString tdx = Paths::siblingOnDisk(Paths::tdxPathFor(tdsPath));
    const QString tds = folder.filePath(QStringLiteral("katalog.tds"));
    if (!folder.isValid() || !placeInto(tdsPath, tds) ||
        (QFileInfo::exists(tdx) &&
         !placeInto(tdx, folder.filePath(QStringLiteral("katalog.tdx"))))) {
        m_prompter.error(QStringLiteral("Kan ej skapa en temporär kopia av %1").arg(tdsPath));
        return std::nullopt;
    }
    NullProgress progress;
    const ImportResult imported = TdsImport(m_prompter, progress).run(tds);
    if (!imported.ok)
        return std::nullopt;
    return checkDatabase(imported.dbPath);
}
