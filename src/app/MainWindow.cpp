#include "app/MainWindow.h"

#include "app/RecentFiles.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Settings.h"
#include "db/TdsImport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace {

// Progress in the status bar's progress pane; repaints now and then so the window does not
// freeze during a long import.
class StatusBarProgress final : public Progress
{
public:
    StatusBarProgress(MainWindow &window, QProgressBar &bar) : m_window(window), m_bar(bar) {}
    void start(qint64 maximum) override
    {
        m_scale = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
        m_bar.setRange(0, int(maximum / m_scale));
        m_bar.setValue(0);
        m_window.ShowProgress(true);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void update(qint64 value) override
    {
        m_bar.setValue(int(value / m_scale));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void end() override { m_window.ShowProgress(false); }

private:
    MainWindow &m_window;
    QProgressBar &m_bar;
    qint64 m_scale = 1;
};

} // namespace

QString databaseCaption(const QString &path)
{
    return Paths::fileNameOf(path) + QStringLiteral(" - ") + QStringLiteral("Ravelund ")
           + QStringLiteral(" ") + QStringLiteral(" [") + path + QStringLiteral("]");
}

MainWindow::MainWindow(Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Ravelund "));
    resize(1000, 700);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("BraxProgressBar"));
    m_progressBar->setMaximumWidth(300);
    m_messagePane = new QLabel(this);
    statusBar()->addWidget(m_messagePane, 1);
    statusBar()->addPermanentWidget(m_progressBar);
    ShowProgress(false);

    auto *placeholder = new QLabel(QStringLiteral("Välj Arkiv för att öppna eller importera "
                                                  "en artikeldatabas."),
                                   this);
    placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(placeholder);
}

MainWindow::~MainWindow() = default;

void MainWindow::ShowProgress(bool show)
{
    m_progressBar->setVisible(show);
    m_messagePane->setVisible(!show);
}

bool MainWindow::OpenMDB(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    try {
        WorkingDatabase opened = WorkingDatabase::open(absolute);
        m_database.reset();
        m_database.emplace(std::move(opened));
    } catch (const std::exception &e) {
        reportError(m_prompter, QStringLiteral("frmMain"), QStringLiteral("OpenMDB"), e);
        return false;
    }
    Settings::saveUser(QStringLiteral("OpenPath"), Paths::folderOf(absolute) + QDir::separator());
    m_currentDbPath = absolute;
    RecentFiles::AddRecentFile(absolute);
    showOpened();
    return true;
}

bool MainWindow::importCatalogue(const QString &tdsPath)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    StatusBarProgress progress(*this, *m_progressBar);
    TdsImport importer(m_prompter, progress);
    const ImportResult result = importer.run(QFileInfo(tdsPath).absoluteFilePath());
    QApplication::restoreOverrideCursor();
    if (!result.ok)
        return false;
    return OpenMDB(result.dbPath);
}

void MainWindow::showOpened()
{
    setWindowTitle(databaseCaption(m_currentDbPath));
    Database &db = m_database->db();
    const qint64 articles = db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles")).toLongLong();
    const qint64 groups =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM Designations")).toLongLong();
    m_messagePane->setText(
        QStringLiteral("%1 artiklar i %2 artikelgrupper").arg(articles).arg(groups));
}
