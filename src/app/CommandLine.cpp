#include "app/CommandLine.h"

#include "core/Paths.h"

namespace {

const QString kTdb = QStringLiteral(".tdb");
const QString kTds = QStringLiteral(".tds");

QString unquoted(QString value)
{
    value.remove(QLatin1Char('"'));
    return value.trimmed();
}

// "/IN:value" or "--in=value" (any case); returns the key's length, 0 when not a key.
qsizetype keyLength(const QString &argument, const QString &key)
{
    const QString classic = QLatin1Char('/') + key + QLatin1Char(':');
    if (argument.startsWith(classic, Qt::CaseInsensitive))
        return classic.size();
    const QString gnu = QStringLiteral("--") + key + QLatin1Char('=');
    if (argument.startsWith(gnu, Qt::CaseInsensitive))
        return gnu.size();
    return 0;
}

// The options --diff and --merge share; the rest are catalogue paths. Sets `error` on misuse.
void parseCompareOptions(const QStringList &arguments, CommandLine &cl)
{
    const auto valueOf = [&](qsizetype &i) {
        if (i + 1 >= arguments.size()) {
            cl.error = QStringLiteral("%1 saknar ett värde.").arg(arguments.at(i));
            return QString();
        }
        return arguments.at(++i);
    };
    for (qsizetype i = 1; i < arguments.size() && cl.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--key")) {
            cl.keyFields = valueOf(i).split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (QString &field : cl.keyFields)
                field = field.trimmed();
        } else if (argument == QLatin1String("--format")) {
            cl.format = valueOf(i);
        } else if (argument == QLatin1String("--tdx")) {
            cl.tdxPath = valueOf(i);
        } else if (argument == QLatin1String("-o") || argument == QLatin1String("--output")) {
            cl.outputPath = valueOf(i);
        } else if (argument.startsWith(QLatin1String("--")) && argument.size() > 2) {
            cl.error = QStringLiteral("Okänt val: %1").arg(argument);
        } else {
            cl.catalogues << argument;
        }
    }
}

CommandLine parseCompare(const QStringList &arguments)
{
    CommandLine cl;
    const bool merge = arguments.first() == QLatin1String("--merge");
    cl.mode = merge ? CommandLine::Mode::Merge : CommandLine::Mode::Diff;
    parseCompareOptions(arguments, cl);
    if (cl.error.isEmpty() && cl.catalogues.size() != (merge ? 3 : 2))
        cl.error = merge ? QStringLiteral("--merge vill ha tre kataloger: BAS VÅR DERAS.")
                         : QStringLiteral("--diff vill ha två kataloger: A B.");
    else if (cl.error.isEmpty() && merge && cl.outputPath.isEmpty())
        cl.error = QStringLiteral("--merge vill ha en utfil: -o UT.tds.");
    else if (cl.error.isEmpty() && !merge && cl.format != QLatin1String("text") &&
             cl.format != QLatin1String("tsv") && cl.format != QLatin1String("json"))
        cl.error = QStringLiteral("Okänt format %1; välj text, tsv eller json.").arg(cl.format);
    // The output is written under the name given: git's merge driver hands over a temporary
    // file without extension and reads the result back from it.
    if (!cl.error.isEmpty())
        cl.mode = CommandLine::Mode::UsageError;
    return cl;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine cl;
    if (arguments.isEmpty())
        return cl;

    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        cl.mode = Mode::Help;
        return cl;
    }
    if (first == QLatin1String("--version")) {
        cl.mode = Mode::Version;
        return cl;
    }
    if (first == QLatin1String("--export")) {
        if (arguments.size() != 3) {
            cl.mode = Mode::SyntaxError;
            return cl;
        }
        cl.mode = Mode::Convert;
        cl.inputPath = Paths::withExtension(arguments.at(1), kTdb);
        cl.outputPath = Paths::withExtension(arguments.at(2), kTds);
        return cl;
    }
    if (first == QLatin1String("--diff") || first == QLatin1String("--merge"))
        return parseCompare(arguments);
    if (first == QLatin1String("--import")) {
        const QStringList rest = arguments.mid(1);
        QStringList paths;
        for (const QString &a : rest) {
            if (a == QLatin1String("--force"))
                cl.force = true;
            else
                paths << a;
        }
        if (paths.size() != 1) {
            cl = CommandLine{};
            cl.mode = Mode::SyntaxError;
            return cl;
        }
        cl.mode = Mode::Import;
        cl.inputPath = paths.first();
        return cl;
    }

    // Keys may come in any order and case; a value is the rest of its argument, and arguments
    // without a key continue the value before them (a path with blanks given without quotes).
    bool sawIn = false;
    bool sawOut = false;
    QString *current = nullptr;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (const qsizetype n = keyLength(argument, QStringLiteral("in"))) {
            cl.inputPath = argument.mid(n);
            current = &cl.inputPath;
            sawIn = true;
        } else if (const qsizetype n = keyLength(argument, QStringLiteral("out"))) {
            cl.outputPath = argument.mid(n);
            current = &cl.outputPath;
            sawOut = true;
        } else if ((argument.compare(QLatin1String("--in"), Qt::CaseInsensitive) == 0 ||
                    argument.compare(QLatin1String("--out"), Qt::CaseInsensitive) == 0) &&
                   i + 1 < arguments.size()) {
            const bool in = argument.compare(QLatin1String("--in"), Qt::CaseInsensitive) == 0;
            current = in ? &cl.inputPath : &cl.outputPath;
            *current = arguments.at(++i);
            (in ? sawIn : sawOut) = true;
        } else if (argument.startsWith(QLatin1String("--"))) {
            cl = CommandLine{};
            cl.mode = Mode::SyntaxError;
            return cl;
        } else if (current) {
            *current += QLatin1Char(' ') + argument;
        } else if (arguments.size() == 1) {
            cl.mode = Mode::OpenFile;
            cl.inputPath = argument;
            return cl;
        } else {
            cl.mode = Mode::SyntaxError;
            return cl;
        }
    }
    if (!sawIn || !sawOut) {
        cl = CommandLine{};
        cl.mode = Mode::SyntaxError;
        return cl;
    }
    cl.mode = Mode::Convert;
    cl.classicKeys = true;
    cl.inputPath = Paths::withExtension(unquoted(cl.inputPath), kTdb);
    cl.outputPath = Paths::withExtension(unquoted(cl.outputPath), kTds);
    return cl;
}

QString syntaxMessage()
{
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("Kvistbo.exe");
#else
    const QString program = QStringLiteral("kvistbo");
#endif
    return QStringLiteral("SYNTAX:\n") + program +
           QStringLiteral(" /IN:filnamn1[.tdb] /OUT:filnamn2[.tds]");
}

QString usageText()
{
    return QStringLiteral(
        "Användning:\n"
        "  kvistbo                          startar redigeraren\n"
        "  kvistbo FIL.tdb | FIL.tds        öppnar en arbetsdatabas eller importerar en TDS-fil\n"
        "  kvistbo /IN:fil[.tdb] /OUT:fil[.tds]\n"
        "  kvistbo --export IN.tdb UT.tds   skriver arbetsdatabasen till UT.tds och UT.tdx\n"
        "  kvistbo --import FIL.tds [--force]\n"
        "                                   skapar FIL.tdb bredvid FIL.tds; --force ersätter\n"
        "                                   en befintlig FIL.tdb\n"
        "  kvistbo --diff A B [--key FÄLT,FÄLT] [--format text|tsv|json] [--tdx FIL]\n"
        "                                   jämför två kataloger (.tdb eller .tds); slutkod 0\n"
        "                                   när de är lika, 1 när de skiljer sig, 2 vid fel\n"
        "  kvistbo --merge BAS VÅR DERAS -o UT.tds [--key FÄLT,FÄLT] [--tdx FIL]\n"
        "                                   trevägssammanfogning till UT.tds och UT.tdx; slutkod\n"
        "                                   0 utan konflikter, 1 med konflikter, 2 vid fel\n"
        "                                   --tdx anger fältbeskrivningen för .tds-filer (en\n"
        "                                   .tds-sökväg betyder .tdx-filen bredvid den)\n"
        "  kvistbo --help | --version\n");
}
