#include "app/Startup.h"

#include "app/MainWindow.h"
#include "core/Prompter.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

bool isCatalogue(const QString &path)
{
    return path.endsWith(QLatin1String(".tds"), Qt::CaseInsensitive);
}

bool isWorkingDatabase(const QString &path)
{
    return path.endsWith(QLatin1String(".tdb"), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<MainWindow> startInteractive(const CommandLine &commandLine, Prompter &prompter)
{
    CommandLine::Mode mode = commandLine.mode;
    // A single argument must name a working database or a catalogue.
    if (mode == CommandLine::Mode::OpenFile && !isCatalogue(commandLine.inputPath) &&
        !isWorkingDatabase(commandLine.inputPath))
        mode = CommandLine::Mode::SyntaxError;
    if (mode == CommandLine::Mode::SyntaxError)
        prompter.message(MessageIcon::Information, QStringLiteral("Fel i anrop"), syntaxMessage());

    auto window = std::make_unique<MainWindow>(prompter);
    // Shown first, so a long import has its progress bar on screen.
    window->show();
    if (mode == CommandLine::Mode::OpenFile) {
        if (isCatalogue(commandLine.inputPath))
            window->importCatalogue(commandLine.inputPath);
        else
            window->OpenMDB(commandLine.inputPath);
        return window;
    }
    const QString last = Settings::read(Settings::LastFileName);
    if (Settings::read(Settings::AutoOpen) && !last.isEmpty() && QFileInfo(last).isFile())
        window->OpenMDB(last);
    return window;
}

bool installQtTranslations(const QString &qtCatalogueFolder)
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    auto *qt = new QTranslator(QCoreApplication::instance());
    const bool qtLoaded =
        qt->load(QLocale(QLocale::Swedish, QLocale::Sweden), QStringLiteral("qt"),
                 QStringLiteral("_"),
                 qtCatalogueFolder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                             : qtCatalogueFolder) &&
        QCoreApplication::installTranslator(qt);
    if (!qtLoaded)
        delete qt;
    // Installed last, so it is asked first: it fills what Qt's catalogue lacks for Qt 6.
    auto *ours = new QTranslator(QCoreApplication::instance());
    if (ours->load(QStringLiteral(":/translations/kvistbo_qt_sv.qm")))
        QCoreApplication::installTranslator(ours);
    else
        delete ours;
    return qtLoaded;
}
