#include "app/BatchConversion.h"
#include "app/CatalogueCommands.h"
#include "app/CheckCommand.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "core/AppError.h"
#include "core/BatchPrompter.h"
#include "ui/MessageBoxPrompter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool displayAvailable()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

int runInteractive(const CommandLine &commandLine, int argc, char **argv)
{
    if (!displayAvailable()) {
        QTextStream err(stderr);
        if (commandLine.mode == CommandLine::Mode::SyntaxError)
            err << syntaxMessage() << Qt::endl;
        err << "Ingen bildskärm: redigeraren kan inte visas. Se kvistbo --help." << Qt::endl;
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ravelund"));
    QApplication::setOrganizationName(QStringLiteral("BRAX"));
    QApplication::setApplicationVersion(QStringLiteral(KVISTBO_VERSION));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Wayland matches the window to its launcher (and icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("se.brax.Kvistbo"));
    installQtTranslations();

    MessageBoxPrompter prompter;
    std::unique_ptr<MainWindow> window;
    try {
        window = startInteractive(commandLine, prompter);
    } catch (const std::exception &e) {
        reportError(prompter, QStringLiteral("MainFunc"), QStringLiteral("Startup"), e);
        return 1;
    }
    prompter.setParent(window.get());
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before any window exists, so conversions never need a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::parse(arguments);

    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        QTextStream(stdout) << usageText();
        return 0;
    case CommandLine::Mode::Version:
        QTextStream(stdout) << "Ravelund " << KVISTBO_VERSION << Qt::endl;
        return 0;
    case CommandLine::Mode::Convert: {
        if (!QFileInfo(commandLine.inputPath).isFile()) {
            QTextStream err(stderr);
            err << "Hittar ej filen " << commandLine.inputPath << Qt::endl;
            // With /IN: and /OUT: a missing input means an interactive start.
            if (commandLine.classicKeys)
                return runInteractive(CommandLine{}, argc, argv);
            return 1;
        }
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        return BatchConversion::convert(commandLine.inputPath, commandLine.outputPath, prompter,
                                        commandLine.allowLossy);
    }
    case CommandLine::Mode::Import: {
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        return BatchConversion::import(commandLine.inputPath, commandLine.force, prompter);
    }
    case CommandLine::Mode::Diff: {
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        QTextStream out(stdout);
        return CatalogueCommands::diff(commandLine, out, prompter);
    }
    case CommandLine::Mode::Merge: {
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        QTextStream out(stdout);
        return CatalogueCommands::merge(commandLine, out, prompter);
    }
    case CommandLine::Mode::ToSheet: {
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        return BatchConversion::toSheet(commandLine.inputPath, commandLine.outputPath,
                                        commandLine.group, prompter);
    }
    case CommandLine::Mode::UsageError:
        QTextStream(stderr) << "kvistbo: " << commandLine.error << "\n" << usageText();
        return 2;
    case CommandLine::Mode::Check: {
        if (!commandLine.error.isEmpty()) {
            QTextStream(stderr) << commandLine.error << Qt::endl << usageText();
            return 2;
        }
        QCoreApplication app(argc, argv);
        BatchPrompter prompter;
        QTextStream out(stdout);
        return CheckCommand(prompter).run(commandLine.inputPath,
                                          commandLine.jsonFormat ? CheckCommand::Format::Json
                                                                 : CheckCommand::Format::Text,
                                          commandLine.least, out);
    }
    default:
        return runInteractive(commandLine, argc, argv);
    }
}
