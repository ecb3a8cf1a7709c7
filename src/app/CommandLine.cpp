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

// The value of an option given as "--key value" or "--key=value"; advances i past it. False when
// the argument is not the option.
bool optionValue(const QStringList &arguments, qsizetype &i, const QString &key, QString *value)
{
    const QString &argument = arguments.at(i);
    if (argument.startsWith(key + QLatin1Char('='))) {
        *value = argument.mid(key.size() + 1);
        return true;
    }
    if (argument != key)
        return false;
    *value = i + 1 < arguments.size() ? arguments.at(++i) : QString();
    return true;
}

CommandLine parseCheck(const QStringList &arguments)
{
    CommandLine cl;
    cl.mode = CommandLine::Mode::Check;
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size() && cl.error.isEmpty(); ++i) {
        QString value;
        if (optionValue(arguments, i, QStringLiteral("--format"), &value)) {
            if (value != QLatin1String("text") && value != QLatin1String("json"))
                cl.error =
                    QStringLiteral("--format ska vara text eller json, inte \"%1\"").arg(value);
            cl.jsonFormat = value == QLatin1String("json");
        } else if (optionValue(arguments, i, QStringLiteral("--severity"), &value)) {
            if (!severityFromName(value, &cl.least))
                cl.error = QStringLiteral("--severity ska vara fel, varning eller info, inte "
                                          "\"%1\"")
                               .arg(value);
        } else if (arguments.at(i).startsWith(QLatin1String("--"))) {
            cl.error = QStringLiteral("Okänt val för --check: %1").arg(arguments.at(i));
        } else {
            paths << arguments.at(i);
        }
    }
    if (cl.error.isEmpty() && paths.size() != 1)
        cl.error = QStringLiteral("--check kontrollerar en fil: kvistbo --check FIL.tdb|FIL.tds");
    if (cl.error.isEmpty())
        cl.inputPath = paths.first();
    return cl;
}

} // namespace

namespace {

CommandLine syntaxError()
{
    CommandLine cl;
    cl.mode = CommandLine::Mode::SyntaxError;
    return cl;
}

CommandLine parseExport(const QStringList &arguments)
{
    QStringList paths = arguments.mid(1);
    const bool allowLossy = paths.removeAll(QStringLiteral("--allow-lossy")) > 0;
    if (paths.size() != 2)
        return syntaxError();
    CommandLine cl;
    cl.mode = CommandLine::Mode::Convert;
    cl.allowLossy = allowLossy;
    cl.inputPath = Paths::withExtension(paths.at(0), kTdb);
    cl.outputPath = Paths::withExtension(paths.at(1), kTds);
    return cl;
}

CommandLine parseToSheet(const QStringList &arguments)
{
    CommandLine cl;
    QStringList paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (optionValue(arguments, i, QStringLiteral("--group"), &value))
            cl.group = value;
        else
            paths << arguments.at(i);
    }
    // The output's ending says what is written; another ending is no guess to make for the user.
    const auto isSheet = [](const QString &path) {
        return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ||
               path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    };
    if (paths.size() != 2 || !isSheet(paths.at(1)) ||
        (arguments.contains(QStringLiteral("--group")) && cl.group.isEmpty())) {
        cl.mode = CommandLine::Mode::UsageError;
        cl.error = QStringLiteral("--to-sheet vill ha IN.tdb|IN.tds UT.xlsx|UT.csv [--group "
                                  "BL_NAME].");
        return cl;
    }
    cl.mode = CommandLine::Mode::ToSheet;
    cl.inputPath = paths.at(0);
    cl.outputPath = paths.at(1);
    return cl;
}

CommandLine parseImport(const QStringList &arguments)
{
    CommandLine cl;
    QStringList paths;
    for (const QString &a : arguments.mid(1)) {
        if (a == QLatin1String("--force"))
            cl.force = true;
        else
            paths << a;
    }
    if (paths.size() != 1)
        return syntaxError();
    cl.mode = CommandLine::Mode::Import;
    cl.inputPath = paths.first();
    return cl;
}

// The classic keys /IN: and /OUT: (or --in / --out), in any order and case; a value is the rest
// of its argument, and arguments without a key continue the value before them (a path with
// blanks given without quotes). A single argument without a key is a file to open.
CommandLine parseClassic(const QStringList &arguments)
{
    CommandLine cl;
    bool sawIn = false;
    bool sawOut = false;
    QString *current = nullptr;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool inKey = argument.compare(QLatin1String("--in"), Qt::CaseInsensitive) == 0;
        const bool outKey = argument.compare(QLatin1String("--out"), Qt::CaseInsensitive) == 0;
        if (const qsizetype n = keyLength(argument, QStringLiteral("in"))) {
            cl.inputPath = argument.mid(n);
            current = &cl.inputPath;
            sawIn = true;
        } else if (const qsizetype n = keyLength(argument, QStringLiteral("out"))) {
            cl.outputPath = argument.mid(n);
            current = &cl.outputPath;
            sawOut = true;
        } else if ((inKey || outKey) && i + 1 < arguments.size()) {
            current = inKey ? &cl.inputPath : &cl.outputPath;
            *current = arguments.at(++i);
            (inKey ? sawIn : sawOut) = true;
        } else if (argument == QLatin1String("--allow-lossy")) {
            cl.allowLossy = true;
            current = nullptr;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return syntaxError();
        } else if (current) {
            *current += QLatin1Char(' ') + argument;
        } else if (arguments.size() == 1) {
            cl.mode = CommandLine::Mode::OpenFile;
            cl.inputPath = argument;
            return cl;
        } else {
            return syntaxError();
        }
    }
    if (!sawIn || !sawOut)
        return syntaxError();
    cl.mode = CommandLine::Mode::Convert;
    cl.classicKeys = true;
    cl.inputPath = Paths::withExtension(unquoted(cl.inputPath), kTdb);
    cl.outputPath = Paths::withExtension(unquoted(cl.outputPath), kTds);
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
    if (first == QLatin1String("--check"))
        return parseCheck(arguments.mid(1));
    if (first == QLatin1String("--export"))
        return parseExport(arguments);
    if (first == QLatin1String("--diff") || first == QLatin1String("--merge"))
        return parseCompare(arguments);
    if (first == QLatin1String("--import"))
        return parseImport(arguments);
    if (first == QLatin1String("--to-sheet"))
        return parseToSheet(arguments);
    return parseClassic(arguments);
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
        "  kvistbo --export IN.tdb UT.tds [--allow-lossy]\n"
        "                                   skriver arbetsdatabasen till UT.tds och UT.tdx;\n"
        "                                   värden som skulle kapas eller få \"?\" stoppar\n"
        "                                   exporten (slutkod 1) utom med --allow-lossy\n"
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
        "  kvistbo --check FIL.tdb|FIL.tds [--format text|json] [--severity fel|varning|info]\n"
        "                                   kontrollerar katalogen och skriver fynden från\n"
        "                                   vald allvarlighet (standard varning); slutkod 0\n"
        "                                   utan fynd, 1 med fynd, 2 vid fel\n"
        "  kvistbo --to-sheet IN.tdb|IN.tds UT.xlsx|UT.csv [--group BL_NAME]\n"
        "                                   skriver katalogen (eller en grupp) som kalkylblad;\n"
        "                                   alla värden som text; slutkod 0, 1 vid fel\n"
        "  kvistbo --help | --version\n");
}
