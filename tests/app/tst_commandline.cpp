#include "app/CommandLine.h"

#include <QTest>

using Mode = CommandLine::Mode;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void syntaxMessageText();
    void compareCommands_data();
    void compareCommands();
    void checkOptions_data();
    void checkOptions();
    void allowLossy_data();
    void allowLossy();
    void toSheet_data();
    void toSheet();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("force");
    QTest::addColumn<bool>("classicKeys");

    QTest::newRow("no arguments") << QStringList() << Mode::Interactive << ""
                                  << "" << false << false;

    // Classic keys.
    QTest::newRow("extensions appended, case kept")
        << QStringList{"/IN:C:\\Data\\Art", "/OUT:C:\\Data\\Art"} << Mode::Convert
        << "C:\\Data\\Art.tdb"
        << "C:\\Data\\Art.tds" << false << true;
    QTest::newRow("extension present in other case")
        << QStringList{"/in:x.TDB", "/out:y.tds"} << Mode::Convert << "x.TDB"
        << "y.tds" << false << true;
    QTest::newRow("keys in mixed case, output first")
        << QStringList{"/Out:Ut.TDS", "/iN:In"} << Mode::Convert << "In.tdb"
        << "Ut.TDS" << false << true;
    QTest::newRow("quoted values with blanks")
        << QStringList{"/IN:\"/home/anna/Mina filer/Art\"", "/OUT:\"/tmp/Ny katalog/Ut.tds\""}
        << Mode::Convert << "/home/anna/Mina filer/Art.tdb"
        << "/tmp/Ny katalog/Ut.tds" << false << true;
    QTest::newRow("unquoted blanks split over arguments")
        << QStringList{"/IN:/home/anna/Mina", "filer/Art", "/OUT:/tmp/Ny", "katalog", "X"}
        << Mode::Convert << "/home/anna/Mina filer/Art.tdb"
        << "/tmp/Ny katalog X.tds" << false << true;
    QTest::newRow("absolute Linux paths kept whole")
        << QStringList{"/IN:/srv/kat/in/El.tdb", "/OUT:/srv/kat/out/El"} << Mode::Convert
        << "/srv/kat/in/El.tdb"
        << "/srv/kat/out/El.tds" << false << true;
    QTest::newRow("empty input value") << QStringList{"/IN:", "/OUT:y"} << Mode::Convert << ".tdb"
                                       << "y.tds" << false << true;
    QTest::newRow("later key overrides")
        << QStringList{"/IN:a", "/OUT:b", "/IN:c"} << Mode::Convert << "c.tdb"
        << "b.tds" << false << true;

    // GNU forms.
    QTest::newRow("--in X --out Y")
        << QStringList{"--in", "/d/Art", "--out", "/d/Ut"} << Mode::Convert << "/d/Art.tdb"
        << "/d/Ut.tds" << false << true;
    QTest::newRow("--in=X --out=Y")
        << QStringList{"--in=/d/Art.tdb", "--out=/d/Ut"} << Mode::Convert << "/d/Art.tdb"
        << "/d/Ut.tds" << false << true;
    QTest::newRow("--export") << QStringList{"--export", "/d/Art", "/d/Ut.TDS"} << Mode::Convert
                              << "/d/Art.tdb"
                              << "/d/Ut.TDS" << false << false;
    QTest::newRow("--import --force")
        << QStringList{"--import", "/d/Art.tds", "--force"} << Mode::Import << "/d/Art.tds"
        << "" << true << false;
    QTest::newRow("--force before the file")
        << QStringList{"--import", "--force", "/d/Art.tds"} << Mode::Import << "/d/Art.tds"
        << "" << true << false;
    QTest::newRow("--import without --force")
        << QStringList{"--import", "/d/Art.tds"} << Mode::Import << "/d/Art.tds"
        << "" << false << false;
    QTest::newRow("--help") << QStringList{"--help"} << Mode::Help << ""
                            << "" << false << false;
    QTest::newRow("--version") << QStringList{"--version"} << Mode::Version << ""
                               << "" << false << false;

    // One path from a file manager.
    QTest::newRow("single bare path") << QStringList{"/home/anna/Mina filer/El.tdb"}
                                      << Mode::OpenFile << "/home/anna/Mina filer/El.tdb"
                                      << "" << false << false;

    // Unusable.
    QTest::newRow("/OUT: alone") << QStringList{"/OUT:y.tds"} << Mode::SyntaxError << ""
                                 << "" << false << false;
    QTest::newRow("/IN: alone") << QStringList{"/IN:x"} << Mode::SyntaxError << ""
                                << "" << false << false;
    QTest::newRow("two bare names") << QStringList{"a.tdb", "b.tds"} << Mode::SyntaxError << ""
                                    << "" << false << false;
    QTest::newRow("bare name before the keys")
        << QStringList{"a.tdb", "/IN:x", "/OUT:y"} << Mode::SyntaxError << ""
        << "" << false << false;
    QTest::newRow("--export with one path")
        << QStringList{"--export", "a"} << Mode::SyntaxError << ""
        << "" << false << false;
    QTest::newRow("--export with three paths")
        << QStringList{"--export", "a", "b", "c"} << Mode::SyntaxError << ""
        << "" << false << false;
    QTest::newRow("--import without a file") << QStringList{"--import"} << Mode::SyntaxError << ""
                                             << "" << false << false;
    QTest::newRow("--import with only --force")
        << QStringList{"--import", "--force"} << Mode::SyntaxError << ""
        << "" << false << false;
    QTest::newRow("an unknown option after a value is not part of it")
        << QStringList{"/IN:a", "/OUT:b", "--help"} << Mode::SyntaxError << ""
        << "" << false << false;
    QTest::newRow("--in without a value") << QStringList{"--in"} << Mode::SyntaxError << ""
                                          << "" << false << false;
    QTest::newRow("--import with two files")
        << QStringList{"--import", "a.tds", "b.tds"} << Mode::SyntaxError << ""
        << "" << false << false;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Mode, mode);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, force);
    QFETCH(bool, classicKeys);

    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.mode, mode);
    if (mode == Mode::SyntaxError)
        return; // nothing else of it is used
    QCOMPARE(cl.inputPath, input);
    QCOMPARE(cl.outputPath, output);
    QCOMPARE(cl.force, force);
    QCOMPARE(cl.classicKeys, classicKeys);
}

void TestCommandLine::compareCommands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QStringList>("catalogues");
    QTest::addColumn<QStringList>("key");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("tdx");

    QTest::newRow("--diff") << QStringList{"--diff", "a.tdb", "b.tds"} << Mode::Diff
                            << QStringList{"a.tdb", "b.tds"} << QStringList() << "text"
                            << ""
                            << "";
    QTest::newRow("--diff with key, format and .tdx")
        << QStringList{"--diff", "--key", "FABRIKAT, ARTNR", "a",         "--format",
                       "json",   "b",     "--tdx",           "/w/kat.tds"}
        << Mode::Diff << QStringList{"a", "b"} << QStringList{"FABRIKAT", "ARTNR"} << "json"
        << ""
        << "/w/kat.tds";
    QTest::newRow("--merge writes the output as named (git hands over a name without extension)")
        << QStringList{"--merge", "bas", "var", "deras", "-o", "/w/.merge_file_x"} << Mode::Merge
        << QStringList{"bas", "var", "deras"} << QStringList() << "text"
        << "/w/.merge_file_x"
        << "";
    QTest::newRow("--diff with one catalogue")
        << QStringList{"--diff", "a"} << Mode::UsageError << QStringList() << QStringList() << ""
        << ""
        << "";
    QTest::newRow("--diff with an unknown format")
        << QStringList{"--diff", "a", "b", "--format", "xml"} << Mode::UsageError << QStringList()
        << QStringList() << ""
        << ""
        << "";
    QTest::newRow("--diff with an unknown option")
        << QStringList{"--diff", "a", "b", "--snabb"} << Mode::UsageError << QStringList()
        << QStringList() << ""
        << ""
        << "";
    QTest::newRow("--key without a value")
        << QStringList{"--diff", "a", "b", "--key"} << Mode::UsageError << QStringList()
        << QStringList() << ""
        << ""
        << "";
    QTest::newRow("--merge without -o") << QStringList{"--merge", "a", "b", "c"} << Mode::UsageError
                                        << QStringList() << QStringList() << ""
                                        << ""
                                        << "";
}

void TestCommandLine::compareCommands()
{
    QFETCH(QStringList, arguments);
    QFETCH(Mode, mode);
    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.mode, mode);
    if (mode == Mode::UsageError) {
        QVERIFY(!cl.error.isEmpty());
        return;
    }
    QTEST(cl.catalogues, "catalogues");
    QTEST(cl.keyFields, "key");
    QTEST(cl.format, "format");
    QTEST(cl.outputPath, "output");
    QTEST(cl.tdxPath, "tdx");
}

void TestCommandLine::checkOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("json");
    QTest::addColumn<Severity>("least");
    QTest::addColumn<bool>("valid");

    QTest::newRow("defaults") << QStringList{"--check", "El.tdb"} << "El.tdb" << false
                              << Severity::Warning << true;
    QTest::newRow("json and errors only")
        << QStringList{"--check", "--format", "json", "El.tds", "--severity=fel"} << "El.tds"
        << true << Severity::Error << true;
    QTest::newRow("info") << QStringList{"--check", "El.tdb", "--severity", "info"} << "El.tdb"
                          << false << Severity::Info << true;
    QTest::newRow("unknown format") << QStringList{"--check", "El.tdb", "--format", "xml"} << ""
                                    << false << Severity::Warning << false;
    QTest::newRow("unknown severity") << QStringList{"--check", "El.tdb", "--severity", "allt"}
                                      << "" << false << Severity::Warning << false;
    QTest::newRow("no file") << QStringList{"--check"} << "" << false << Severity::Warning << false;
    QTest::newRow("two files") << QStringList{"--check", "a.tdb", "b.tdb"} << "" << false
                               << Severity::Warning << false;
    QTest::newRow("unknown option")
        << QStringList{"--check", "a.tdb", "--fix"} << "" << false << Severity::Warning << false;
}

void TestCommandLine::checkOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    QFETCH(bool, json);
    QFETCH(Severity, least);
    QFETCH(bool, valid);

    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.mode, Mode::Check);
    QCOMPARE(cl.error.isEmpty(), valid);
    if (!valid)
        return;
    QCOMPARE(cl.inputPath, input);
    QCOMPARE(cl.jsonFormat, json);
    QCOMPARE(cl.least, least);
}

void TestCommandLine::allowLossy_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("allowLossy");

    QTest::newRow("--export") << QStringList{"--export", "a", "b"} << false;
    QTest::newRow("--export --allow-lossy")
        << QStringList{"--export", "a", "--allow-lossy", "b"} << true;
    QTest::newRow("classic keys") << QStringList{"/IN:a", "/OUT:b"} << false;
    QTest::newRow("classic keys --allow-lossy")
        << QStringList{"/IN:a", "--allow-lossy", "/OUT:b"} << true;
}

void TestCommandLine::allowLossy()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, allowLossy);
    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.mode, Mode::Convert);
    QCOMPARE(cl.allowLossy, allowLossy);
    QCOMPARE(cl.inputPath, "a.tdb");
    QCOMPARE(cl.outputPath, "b.tds");
}

void TestCommandLine::syntaxMessageText()
{
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("Kvistbo.exe");
#else
    const QString program = QStringLiteral("kvistbo");
#endif
    QCOMPARE(syntaxMessage(),
             "SYNTAX:\n" + program + QStringLiteral(" /IN:filnamn1[.tdb] /OUT:filnamn2[.tds]"));
}

void TestCommandLine::toSheet_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("group");

    QTest::newRow("whole catalogue")
        << QStringList{"--to-sheet", "El.tdb", "/u/El.xlsx"} << Mode::ToSheet << "El.tdb"
        << "/u/El.xlsx"
        << "";
    QTest::newRow("a group, option first")
        << QStringList{"--to-sheet", "--group", "ABCDI010", "El.tds", "El.csv"} << Mode::ToSheet
        << "El.tds"
        << "El.csv"
        << "ABCDI010";
    QTest::newRow("--group=X") << QStringList{"--to-sheet", "El.tdb", "El.csv", "--group=ABCDI020"}
                               << Mode::ToSheet << "El.tdb"
                               << "El.csv"
                               << "ABCDI020";
    QTest::newRow("one path") << QStringList{"--to-sheet", "El.tdb"} << Mode::UsageError << ""
                              << ""
                              << "";
    QTest::newRow("three paths") << QStringList{"--to-sheet", "a.tdb", "b.csv", "c.csv"}
                                 << Mode::UsageError << ""
                                 << ""
                                 << "";
    QTest::newRow("an output that is no spreadsheet")
        << QStringList{"--to-sheet", "El.tdb", "El.txt"} << Mode::UsageError << ""
        << ""
        << "";
    QTest::newRow("--group without a value")
        << QStringList{"--to-sheet", "El.tdb", "El.csv", "--group"} << Mode::UsageError << ""
        << ""
        << "";
}

void TestCommandLine::toSheet()
{
    QFETCH(QStringList, arguments);
    QFETCH(Mode, mode);
    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.mode, mode);
    if (mode == Mode::UsageError) {
        QVERIFY(cl.error.contains("--to-sheet"));
        return;
    }
    QTEST(cl.inputPath, "input");
    QTEST(cl.outputPath, "output");
    QTEST(cl.group, "group");
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
