#include "session/CatalogueSession.h"

#include "check/CatalogueCheck.h"
#include "compare/CatalogueComparison.h"
#include "edit/AccessoryPick.h"
#include "edit/FieldLength.h"

#include "browse/GridStore.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/PickFile.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/RecentFiles.h"
#include "core/Settings.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <stdexcept>

CatalogueSession::CatalogueSession(Prompter &prompter, QObject *parent)
    : QObject(parent), m_prompter(prompter)
{
    connect(&m_loader, &GridLoader::rowsReady, this, &CatalogueSession::takeLoadedRows);
    connect(&m_loader, &GridLoader::finished, this,
            [this] { emit rowsLoaded(m_grid.rows() - 1, true); });
    connect(&m_loader, &GridLoader::failed, this, [this] {
        try {
            std::rethrow_exception(m_loader.lastError());
        } catch (const std::exception &e) {
            loadingFailed(e);
        } catch (...) {
            loadingFailed(std::runtime_error("reading the view failed"));
        }
    });
}

CatalogueSession::~CatalogueSession() = default;

void CatalogueSession::setProgress(Progress *progress)
{
    m_progress = progress;
}

Progress &CatalogueSession::progress()
{
    static NullProgress none;
    return m_progress ? *m_progress : none;
}

// --------------------------------------------------------------------- the one question

bool CatalogueSession::offerToSaveEdits(AfterDiscard after)
{
    if (!m_edited)
        return true;
    switch (m_prompter.questionWithCancel(
        MessageIcon::Question, QStringLiteral("Ravelund"),
        QStringLiteral("Artikellistan har ändringar som inte är sparade.\nVill du spara dem?"))) {
    case Answer::Yes:
        return mnuSave(); // a failed save keeps the edits, and the command stops
    case Answer::No:
        GridEdited(false);
        // The grid never keeps edits that the edited state no longer guards.
        if (after == AfterDiscard::Reload && m_selection.isValid())
            PopulateGrid(m_selection);
        else
            clearGrid();
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

// -------------------------------------------------------------------------- file commands

void CatalogueSession::adopt(WorkingDatabase database, const FieldList &fields)
{
    closeDatabase();
    m_database.emplace(std::move(database));
    m_fieldList = fields;
    m_currentDbPath = m_database->path();
    emit gridAboutToReset();
    m_grid.setupColumns(m_fieldList);
    emit gridReset();
    RecentFiles::AddRecentFile(m_currentDbPath);
    emit opened(m_currentDbPath);
}

void CatalogueSession::closeDatabase()
{
    const bool wasOpen = m_database.has_value();
    // No reader may hold the file once it is closed (it may be replaced next).
    m_loader.stop();
    m_database.reset();
    GridEdited(false);
    m_selection = {};
    if (wasOpen)
        m_treeChoice = {};
    emit gridAboutToReset();
    m_grid.clear();
    emit gridReset();
    if (wasOpen)
        emit closed();
}

void CatalogueSession::mnuOpenMDB()
{
    const QStringList files = PickFile(m_prompter, QStringLiteral("Välj artikeldatabas    "),
                                       QStringLiteral("tdb"), Settings::read(Settings::OpenPath));
    if (!files.isEmpty())
        OpenMDB(files.first());
}

bool CatalogueSession::OpenMDB(const QString &path)
{
    if (path.isEmpty() || !offerToSaveEdits(AfterDiscard::Clear))
        return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    rememberOpenFolder(absolute);
    try {
        // Opened completely before anything of the old state is given up.
        WorkingDatabase opened = WorkingDatabase::open(absolute);
        const FieldList fields = opened.fields();
        adopt(std::move(opened), fields);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("OpenMDB"), e);
        return false;
    }
    return true;
}

bool CatalogueSession::mnuCloseMDB()
{
    if (!offerToSaveEdits(AfterDiscard::Clear))
        return false;
    closeDatabase();
    return true;
}

void CatalogueSession::mnuSaveAs()
{
    // The copy is the file as stored, so unsaved edits are offered for saving first.
    if (!isOpen() || !offerToSaveEdits())
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Spara som");
    request.filter = QStringLiteral("VOLTMARK artikeldatabas (*.tdb)");
    request.initialFolder = Paths::folderOf(m_currentDbPath);
    request.defaultSuffix = QStringLiteral("tdb");
    const QString chosen = m_prompter.saveFile(request);
    if (!chosen.isEmpty())
        saveAs(chosen);
}

bool CatalogueSession::saveAs(const QString &chosen)
{
    if (!isOpen() || !offerToSaveEdits())
        return false;
    const QString target = QFileInfo(chosen).absoluteFilePath();
    if (target.toLower() == m_currentDbPath.toLower())
        return false;
    try {
        copyDatabaseFile(m_currentDbPath, target);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuSaveAs"), e);
        return false;
    }
    closeDatabase();
    return OpenMDB(target);
}

void CatalogueSession::mnuOpenTDS()
{
    const QStringList files = PickFile(m_prompter, QStringLiteral("Välj artikeldatabas    "),
                                       QStringLiteral("tds"), Settings::read(Settings::OpenPath));
    if (files.isEmpty())
        return;
    rememberOpenFolder(files.first());
    importCatalogue(files.first());
}

bool CatalogueSession::importCatalogue(const QString &tdsPath)
{
    if (!offerToSaveEdits(AfterDiscard::Clear))
        return false;
    TdsImport importer(m_prompter, progress());
    const ImportResult result = importer.run(QFileInfo(tdsPath).absoluteFilePath());
    if (!result.notes.isEmpty())
        emit notice(result.notes.join(u' '));
    if (!result.ok)
        return false;
    try {
        // The grid cuts lines with the field list of the .tdx file, starts included.
        adopt(WorkingDatabase::open(result.dbPath), result.fields);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        return false;
    }
    return true;
}

void CatalogueSession::mnuSaveTDS()
{
    // The export writes what the database holds, so pending edits are settled first.
    if (!isOpen() || !offerToSaveEdits())
        return;
    if (m_beforeExport && !m_beforeExport())
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Återskapa VOLTMARK-databas");
    request.filter = QStringLiteral("VOLTMARK artikeldatabas, *.tds (*.tds)");
    request.defaultSuffix = QStringLiteral("tds");
    request.initialFolder = Paths::folderOf(m_currentDbPath);
    const QString path = m_prompter.saveFile(request);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String("tds"), Qt::CaseInsensitive)) {
        m_prompter.info(QStringLiteral("Filnamnet skall ha ändelse 'tds'."));
        return;
    }
    exportCatalogue(path);
}

bool CatalogueSession::exportCatalogue(const QString &tdsPath)
{
    if (!isOpen() || !offerToSaveEdits())
        return false;
    const ExportResult result = TdsExport(m_database->db(), m_prompter, progress()).run(tdsPath);
    QStringList said = result.notes;
    if (result.ok)
        said.prepend(QStringLiteral("%1 rader exporterade till %2 och %3.")
                         .arg(result.linesWritten)
                         .arg(QDir::toNativeSeparators(tdsPath),
                              QFileInfo(Paths::tdxPathFor(tdsPath)).fileName()));
    if (result.lossDeclined)
        said.prepend(QStringLiteral("Exporten avbröts: inga filer ändrades."));
    if (!said.isEmpty())
        emit notice(said.join(u' '));
    // The export adds equivalence rows only, which the grid does not show: it stays as it is,
    // with its selection.
    return result.ok;
}

bool CatalogueSession::reopen()
{
    if (!isOpen() || !offerToSaveEdits(AfterDiscard::Clear))
        return false;
    const QString path = m_currentDbPath;
    const ArticleSelection shown = m_selection;
    closeDatabase();
    m_treeChoice = shown;
    if (!OpenMDB(path)) {
        m_treeChoice = {};
        return false;
    }
    if (shown.isValid())
        PopulateGrid(shown);
    return true;
}

// --------------------------------------------------------------------------------- the grid

bool CatalogueSession::show(const ArticleSelection &selection)
{
    if (!isOpen() || !selection.isValid())
        return false;
    if (m_edited && selection == m_selection)
        return true; // the edited choice stays on screen
    if (!offerToSaveEdits(AfterDiscard::Clear))
        return false;
    PopulateGrid(selection);
    return true;
}

void CatalogueSession::PopulateGrid(const ArticleSelection &selection)
{
    if (!m_database || !selection.isValid())
        return;
    // A view still loading is given up without waiting for its reader.
    m_loader.cancel();
    GridEdited(false);
    emit gridAboutToReset();
    bool complete = true;
    try {
        qint64 firstScreen = m_firstScreenRows;
        if (firstScreen >= 0 && m_wholeGroupRows > firstScreen &&
            selection.kind() == ArticleSelection::Kind::Group &&
            selection.hasAtMost(m_database->db(), m_wholeGroupRows))
            firstScreen = -1;
        complete =
            GridStore::PopulateGrid(m_database->db(), selection, m_grid, progress(), firstScreen);
    } catch (const std::exception &e) {
        // A grid that could not be read must never be saved over the stored rows.
        m_grid.setRows(1);
        m_selection = {};
        emit gridReset();
        progress().end();
        reportError(m_prompter, kMainWindow, QStringLiteral("PopulateGrid"), e);
        return;
    }
    m_selection = selection;
    m_treeChoice = selection;
    if (!complete)
        m_loader.start(m_database->path(), selection, GridStore::gridHeaders(m_grid),
                       m_grid.rows() - 1);
    emit gridReset();
    if (!complete)
        emit rowsLoaded(m_grid.rows() - 1, false);
}

void CatalogueSession::takeLoadedRows()
{
    GridLoader::Rows rows = m_loader.take();
    if (rows.cells.empty())
        return;
    const qint64 expected = m_loader.expectedRows();
    if (expected > 0 && expected < std::numeric_limits<int>::max())
        m_grid.reserve(int(expected) + 1);
    const int first = m_grid.rows();
    for (size_t i = 0; i < rows.cells.size(); ++i)
        m_grid.appendRow(std::move(rows.cells[i]), rows.ids[i]);
    emit gridRowsAppended(first, m_grid.rows() - first);
    emit rowsLoaded(m_grid.rows() - 1, false);
}

void CatalogueSession::loadingFailed(const std::exception &error)
{
    // A view read only in part must never be saved as if it were whole: it goes, as when the
    // first rows cannot be read.
    m_loader.cancel();
    GridEdited(false);
    emit gridAboutToReset();
    m_grid.setRows(1);
    m_selection = {};
    emit gridReset();
    reportError(m_prompter, kMainWindow, QStringLiteral("PopulateGrid"), error);
}

bool CatalogueSession::finishLoading()
{
    if (!m_loader.isLoading() || !m_database)
        return true;
    takeLoadedRows();
    m_loader.cancel();
    const int first = m_grid.rows();
    try {
        const qint64 total = m_selection.rowCount(m_database->db());
        GridStore::appendArticles(m_database->db(), m_selection, m_grid, first - 1, -1, progress(),
                                  total);
    } catch (const std::exception &e) {
        progress().end();
        loadingFailed(e);
        return false;
    }
    emit gridRowsAppended(first, m_grid.rows() - first);
    emit rowsLoaded(m_grid.rows() - 1, true);
    return true;
}

void CatalogueSession::clearGrid()
{
    emit gridAboutToReset();
    m_grid.setRows(1);
    m_selection = {};
    emit gridReset();
}

bool CatalogueSession::mnuSave()
{
    if (!m_database || !m_selection.isValid())
        return false;
    // The save checks row numbers against the whole view.
    if (!finishLoading())
        return false;
    try {
        GridStore::saveGrid(m_database->db(), m_selection, m_grid, progress());
    } catch (const std::exception &e) {
        // Nothing was written; the grid keeps the user's edits for another try.
        progress().end();
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuSave"), e);
        return false;
    }
    emit treeChanged();
    PopulateGrid(m_selection);
    return true;
}

void CatalogueSession::ignoreChanges()
{
    if (m_selection.isValid())
        PopulateGrid(m_selection);
    else
        GridEdited(false);
}

void CatalogueSession::GridEdited(bool edited)
{
    if (m_edited == edited)
        return;
    m_edited = edited;
    emit editedChanged(edited);
}

void CatalogueSession::databaseChanged()
{
    databaseChanged(m_selection);
}

void CatalogueSession::databaseChanged(const ArticleSelection &shown)
{
    if (!isOpen())
        return;
    if (shown.isValid())
        m_treeChoice = shown;
    emit treeChanged();
    if (shown.isValid())
        PopulateGrid(shown);
    else
        clearGrid();
}

// ------------------------------------------------------------------ what the views read

QList<GroupTree::Group> CatalogueSession::groups()
{
    return m_database ? GroupTree::groups(m_database->db()) : QList<GroupTree::Group>();
}

std::optional<QStringList> CatalogueSession::manufacturers(const QString &blockName)
{
    if (!m_database)
        return QStringList();
    return GroupTree::manufacturers(m_database->db(), blockName);
}

QList<ArticleSearch::Hit> CatalogueSession::find(const QString &text)
{
    return m_database ? ArticleSearch::find(m_database->db(), text, 500, &progress())
                      : QList<ArticleSearch::Hit>();
}

Findings CatalogueSession::check()
{
    if (!m_database)
        return {};
    return CatalogueCheck(m_database->db(), AccessoryPick::accessoryPrefix()).run();
}

CatalogueDifferences CatalogueSession::compareWith(const QString &otherPath)
{
    if (!m_database)
        return {};
    CatalogueComparison comparison(m_prompter);
    comparison.setProgress(&progress());
    return comparison.compare(m_currentDbPath, otherPath);
}

int CatalogueSession::longestValue(const QString &field)
{
    return m_database ? FieldLength::longestValue(m_database->db(), field) : 0;
}
