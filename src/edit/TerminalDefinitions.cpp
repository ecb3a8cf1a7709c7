#include "edit/TerminalDefinitions.h"

#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Prompter.h"

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
    return Paths::dataFileCandidates(QLatin1String(kFileName));
}

TerminalDefinitions TerminalDefinitions::LoadTerminalDefinitions(Prompter &prompter,
                                                                 const QStringList &paths)
{
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // The shipped list is a few kilobytes; a file far larger is not one, and is not read
        // whole (a 300 MB file would keep the dialog busy for minutes).
        if (file.size() > kMaxFileSize) {
            prompter.error(QStringLiteral("Definitionsfilen för uttagsmärkningar %1 är för stor "
                                          "(mer än 1 MiB) och lästes inte.")
                               .arg(path),
                           QStringLiteral("Inläsningsfel"));
            return {};
        }
        const QByteArray bytes = file.read(kMaxFileSize);
        if (file.error() != QFileDevice::NoError) {
            prompter.error(QStringLiteral("Definitionsfilen för uttagsmärkningar %1 kunde inte "
                                          "läsas: %2")
                               .arg(path, file.errorString()),
                           QStringLiteral("Inläsningsfel"));
            return {};
        }
        return parse(bytes);
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
