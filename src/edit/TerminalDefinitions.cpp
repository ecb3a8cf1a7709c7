#include "edit/TerminalDefinitions.h"

#include "core/Cp1252.h"
#include "core/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

TerminalDefinitions TerminalDefinitions::parse(QByteArrayView bytes)
{
    TerminalDefinitions result;
    QStringList lines = Cp1252::decode(bytes).split(QLatin1Char('\n'));
    // The line end of the last line does not start one more (empty) category.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString code;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char(' ')))
            result.m_definitions.append({code, line.trimmed()});
        else
            code = line.left(1);
    }
    return result;
}

QStringList TerminalDefinitions::searchPaths()
{
    const QString program = QCoreApplication::applicationDirPath();
    QStringList paths{QDir(program).filePath(QLatin1String(kFileName))};
    // Relative to the executable first, so a moved installation still finds its own data.
    const QStringList folders{
        QDir::cleanPath(program + QLatin1Char('/') + QLatin1String(KVISTBO_DATA_DIR_FROM_BIN)),
        QStringLiteral(KVISTBO_DATA_DIR)};
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(QLatin1String(kFileName));
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

TerminalDefinitions TerminalDefinitions::LoadTerminalDefinitions(Prompter &prompter,
                                                                 const QStringList &paths)
{
    for (const QString &path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return parse(file.readAll());
    }
    prompter.error(QStringLiteral("Hittar ej definitionsfil för uttagsmärkningar.\n") +
                       paths.join(QLatin1Char('\n')),
                   QStringLiteral("Fil saknas"));
    return {};
}

QStringList TerminalDefinitions::textsFor(QChar typeCode) const
{
    QStringList texts;
    for (const Definition &definition : m_definitions) {
        if (definition.code.toUpper() == QString(typeCode))
            texts << definition.text;
    }
    return texts;
}
