#pragma once

#include "core/Prompter.h"
#include "db/WorkingDatabase.h"

#include <QMainWindow>

#include <optional>

class QLabel;
class QProgressBar;

// The main window "frmMain". For now it holds the open working database, its caption and the
// status bar with the progress pane; menus, tree and grid come later.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Prompter &prompter, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens a working database; failures are reported and leave nothing half open.
    bool OpenMDB(const QString &path);
    // Imports a .tds file into the .tdb beside it and opens the result.
    bool importCatalogue(const QString &tdsPath);

    bool hasDatabase() const { return m_database.has_value(); }
    const QString &CurrentDbPath() const { return m_currentDbPath; }

    // Switches the status bar between the progress pane and the message pane.
    void ShowProgress(bool show);

private:
    void showOpened();

    Prompter &m_prompter;
    std::optional<WorkingDatabase> m_database;
    QString m_currentDbPath;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messagePane = nullptr;
};

// The caption of the window with a database open: "art.tdb - Ravelund   [/full/path/art.tdb]".
QString databaseCaption(const QString &path);
