#include "compare/CatalogueSource.h"

#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdsImport.h"
#include "db/TdxFile.h"
#include "db/WorkingDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            ErrorNumber::FileNotFound,
            QStringLiteral("Filen %1 kunde inte läsas: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            ErrorNumber::FileNotFound,
            QStringLiteral("Filen %1 kunde inte läsas: %2").arg(path, file.errorString()));
    return bytes;
}

bool isTds(const QString &path)
{
    return path.endsWith(QLatin1String(".tds"), Qt::CaseInsensitive);
}

} // namespace

QString describingTdx(const QString &tdsPath, const QString &tdxOption)
{
    if (tdxOption.isEmpty())
        return Paths::siblingOnDisk(Paths::tdxPathFor(tdsPath));
    if (isTds(tdxOption))
        return Paths::siblingOnDisk(Paths::tdxPathFor(tdxOption));
    return tdxOption;
}

CatalogueSource::CatalogueSource(const QString &path, Prompter &prompter, const QString &tdxPath)
    : m_shownPath(path)
{
    if (!QFileInfo(path).isFile())
        throw AppError(ErrorNumber::FileNotFound, QStringLiteral("Hittar ej filen %1").arg(path));
    // A .tdb is recognised by its content, so git's temporary copies of one work too.
    QFile file(path);
    const bool sqlite =
        file.open(QIODevice::ReadOnly) && file.read(16) == QByteArrayLiteral("SQLite format 3\0");
    file.close();
    if (!sqlite) {
        importPair(path, describingTdx(path, tdxPath), prompter);
        return;
    }
    m_databasePath = QFileInfo(path).absoluteFilePath();
    WorkingDatabase working = WorkingDatabase::open(m_databasePath, Database::OpenMode::ReadOnly);
    m_fields = working.fields();
}

CatalogueSource::~CatalogueSource() = default;

void CatalogueSource::importPair(const QString &tdsPath, const QString &tdxPath, Prompter &prompter)
{
    if (!QFileInfo(tdxPath).isFile())
        throw AppError(ErrorNumber::FileNotFound,
                       QStringLiteral("Fältbeskrivningen %1 till %2 saknas; ange den med --tdx.")
                           .arg(tdxPath, tdsPath));
    if (parseTdx(readWhole(tdxPath), tdxPath, m_fields, prompter) <= 0)
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Fältbeskrivningen %1 är felaktig.").arg(tdxPath));
    m_temp = std::make_unique<QTemporaryDir>();
    if (!m_temp->isValid())
        throw AppError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("Ingen temporär mapp kunde skapas: %1").arg(m_temp->errorString()));
    m_databasePath = m_temp->filePath(QStringLiteral("katalog.tdb"));
    Database db(m_databasePath, Database::OpenMode::Create);
    db.setShownPath(tdsPath);
    Schema::createTables(db, m_fields);
    Transaction transaction(db);
    NullProgress progress;
    ImportResult result;
    if (!TdsImport::loadFile(tdsPath, db, m_fields, progress, result))
        throw AppError(ErrorNumber::FileNotFound,
                       QStringLiteral("Filen %1 kunde inte läsas (läsfel på disken eller i "
                                      "nätverket).")
                           .arg(tdsPath));
    Schema::createIndexes(db, m_fields);
    transaction.commit();
}
