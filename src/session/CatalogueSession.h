#pragma once

#include "browse/ArticleGrid.h"
#include "browse/ArticleSearch.h"
#include "browse/ArticleSelection.h"
#include "browse/GridLoader.h"
#include "browse/GroupTree.h"
#include "check/Finding.h"
#include "compare/CatalogueDifferences.h"
#include "db/FieldList.h"
#include "db/WorkingDatabase.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Progress;
class Prompter;

// The open catalogue: the working database, its path and field list, the article grid as the
// edit buffer of the picked tree choice, and the edited state. Every command that closes the
// database or reloads the grid runs here, behind the one question about unsaved edits, so no
// path can drop what the user typed. It has no widgets; the window listens to its signals.
class CatalogueSession : public QObject
{
    Q_OBJECT
public:
    explicit CatalogueSession(Prompter &prompter, QObject *parent = nullptr);
    ~CatalogueSession() override;

    // Where long work reports; none by default.
    void setProgress(Progress *progress);
    Progress &progress();

    bool isOpen() const { return m_database.has_value(); }
    Database *database() { return m_database ? &m_database->db() : nullptr; }
    // The path of the open database; kept after closing, the export's dialog starts there.
    const QString &CurrentDbPath() const { return m_currentDbPath; }
    const FieldList &fieldList() const { return m_fieldList; }
    ArticleGrid &grid() { return m_grid; }
    const ArticleGrid &grid() const { return m_grid; }
    // What the grid shows (invalid while nothing is picked).
    const ArticleSelection &selection() const { return m_selection; }
    bool SingleGroupView() const { return m_selection.singleGroupView(); }
    bool isEdited() const { return m_edited; }
    // True while the rest of the shown view is still being read in the background. The first
    // rows are read at once; cells of loaded rows may be edited meanwhile.
    bool isLoading() const { return m_loader.isLoading(); }
    // Reads what is left of a loading view at once, with progress; everything that reorders,
    // adds or removes rows, or writes to the database, calls it first. False when reading failed.
    bool finishLoading();
    // How many rows a view shows before the rest is read in the background (-1: all at once),
    // for every view, however small (tests make views load with it).
    void setFirstScreenRows(qint64 rows)
    {
        m_firstScreenRows = rows;
        m_wholeGroupRows = 0;
    }

    // What happens to the grid when the user answers No: the commands that empty or replace
    // the grid anyway skip reading it again.
    enum class AfterDiscard { Reload, Clear };
    // With unsaved edits, asks whether to save them (Ja / Nej / Avbryt). Yes saves, No throws
    // them away; false means the caller must stop: the user cancelled or the save failed.
    bool offerToSaveEdits(AfterDiscard after = AfterDiscard::Reload);

    // File commands. The m-prefixed ones ask for the file through the prompter first.
    void mnuOpenMDB();
    bool OpenMDB(const QString &path);
    bool mnuCloseMDB();
    void mnuSaveAs();
    bool saveAs(const QString &target);
    void mnuOpenTDS();
    bool importCatalogue(const QString &tdsPath);
    void mnuSaveTDS();
    // Asked by mnuSaveTDS before the file is chosen; false stops the export (the window offers
    // the catalogue check there).
    void setBeforeExport(std::function<bool()> beforeExport)
    {
        m_beforeExport = std::move(beforeExport);
    }
    bool exportCatalogue(const QString &tdsPath);
    // Closes and opens the database again with the same tree choice (a column changed).
    bool reopen();
    // The tree's choice: what the grid shows or last showed. Kept across a reopen and a change
    // by a dialog, forgotten when the catalogue closes; invalid for a catalogue just opened.
    const ArticleSelection &treeChoice() const { return m_treeChoice; }

    // What the tree and the find bar read from the open catalogue; they throw on engine errors
    // and give nothing while no catalogue is open.
    QList<GroupTree::Group> groups();
    std::optional<QStringList> manufacturers(const QString &blockName);
    QList<ArticleSearch::Hit> find(const QString &text);
    // The catalogue check of the stored catalogue (unsaved grid edits are not in it).
    Findings check();
    // The characters of the longest stored value of a field.
    int longestValue(const QString &field);
    // What differs from the stored catalogue to another one (.tdb, or .tds with its .tdx).
    CatalogueDifferences compareWith(const QString &otherPath);

    // The grid: show a tree choice (false when the user stayed with the edited one), write the
    // edits back, or throw them away and read the grid again.
    bool show(const ArticleSelection &selection);
    bool mnuSave();
    void ignoreChanges();
    // Enters or leaves the edited state; grid operations call it with true.
    void GridEdited(bool edited);
    // The database was changed by a dialog: the tree is rebuilt and the grid read again, for the
    // given choice (one that was renamed) or the shown one.
    void databaseChanged();
    void databaseChanged(const ArticleSelection &shown);

signals:
    // A database is open and its columns are known; the tree is to be built from it.
    void opened(const QString &path);
    void closed();
    // The groups changed; the tree is to be built again.
    void treeChanged();
    // Around every refill or clearing of the grid (the model resets).
    void gridAboutToReset();
    void gridReset();
    // Rows read in the background were appended to the grid (grid rows first.. first+count-1).
    void gridRowsAppended(int first, int count);
    // While a view loads: how many of its rows are there so far; `done` once all are.
    void rowsLoaded(qint64 rows, bool done);
    void editedChanged(bool edited);
    // Something the user may want to know that needs no answer (files tidied after a crash).
    void notice(const QString &text);

private:
    void adopt(WorkingDatabase database, const FieldList &fields);
    void closeDatabase();
    void PopulateGrid(const ArticleSelection &selection);
    void clearGrid();
    void setEditedState(bool edited);
    void takeLoadedRows();
    void loadingFailed(const std::exception &error);

    Prompter &m_prompter;
    Progress *m_progress = nullptr;
    std::optional<WorkingDatabase> m_database;
    QString m_currentDbPath;
    FieldList m_fieldList;
    ArticleGrid m_grid;
    ArticleSelection m_selection;
    ArticleSelection m_treeChoice;
    std::function<bool()> m_beforeExport;
    bool m_edited = false;
    GridLoader m_loader;
    qint64 m_firstScreenRows = 2000;
    // A group of up to this many rows is read at once: one read is quicker than a first screen
    // and the rest, and still within a blink.
    qint64 m_wholeGroupRows = 10000;
};
