#include "browse/ArticleGrid.h"
#include "core/Settings.h"
#include "edit/ContactDefinition.h"
#include "edit/ContactPresets.h"
#include "edit/TerminalDefinitions.h"

#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Markings for a few types; O has an entry that follows 23 24 (the highest 2x marking gives 29),
// D one with four markings, and "o" shows that category codes ignore case.
const QStringList kDefinitionLines{
    "M main contacts",
    " 1 2",
    " 3 4",
    " 5 6",
    "O make contacts",
    " 13 14",
    " 23 24",
    " 33 34",
    "C",
    " 11 12",
    " 21 22",
    "A",
    " 11 12 14",
    "N",
    " X1",
    "D four markings",
    " 17 18 19 20",
    "o lower case",
    " 29 30",
};

TerminalDefinitions definitions()
{
    return TerminalDefinitions::parse(TestFiles::crlf(kDefinitionLines));
}

// The slots as a 12-character pattern: each filled slot's code, '.' for a free one.
QString slotPattern(const ContactDefinition &contacts)
{
    QString pattern;
    for (int slot = 0; slot < ContactDefinition::kSlotCount; ++slot) {
        const int type = contacts.slotType(slot);
        pattern += type < 0 ? QLatin1Char('.')
                            : QLatin1Char(ContactDefinition::types()[size_t(type)].code);
    }
    return pattern;
}

// A short script of what the user does, separated by spaces: a code letter selects the first
// type with that code, "+" adds, "#k" selects slot k, "-" removes, "@k" picks marking k.
// Answers false when an add was refused.
bool play(ContactDefinition &contacts, const QString &script)
{
    bool allAdded = true;
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("+"))
            allAdded = contacts.add() && allAdded;
        else if (step == QLatin1String("-"))
            contacts.remove();
        else if (step.startsWith(QLatin1Char('#')))
            contacts.selectSlot(step.mid(1).toInt());
        else if (step.startsWith(QLatin1Char('@')))
            contacts.setTerminalPosition(step.mid(1).toInt());
        else
            contacts.selectType(ContactDefinition::typeWithCode(step[0]));
    }
    return allAdded;
}

QString repeated(const QString &text, int times)
{
    QString result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

} // namespace

class TestContactDefinition : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void editing_data();
    void editing();
    void addRefusedWhenEverySlotIsTaken();
    void addWithoutDefinitions();

    void roundTrip_data();
    void roundTrip();
    void displayPresets_data();
    void displayPresets();
    void unchangedTextComesBackAsItWas();
    void fitInTheField_data();
    void fitInTheField();
    void twelveContactsOverflowTheField();

    void highestMarkings_data();
    void highestMarkings();
    void offeredMarkings_data();
    void offeredMarkings();

    void parseDefinitions_data();
    void parseDefinitions();
    void shippedFileCoversEveryType();
    void loadTerminalDefinitions_data();
    void loadTerminalDefinitions();

    void writeToGrid_data();
    void writeToGrid();

    void presets();
    void presetThatCannotBeWritten();

private:
    QTemporaryDir m_folder;
};

void TestContactDefinition::initTestCase()
{
    QVERIFY(m_folder.isValid());
    TestFiles::isolateSettings(m_folder.path());
}

// ------------------------------------------------------------------ adding and removing

void TestContactDefinition::editing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("nextSlot");
    QTest::addColumn<int>("selectedSlot");
    QTest::addColumn<bool>("removeEnabled");

    QTest::newRow("nothing added") << ""
                                   << ""
                                   << "............" << 0 << -1 << false;
    // Adding moves on to the next markings; choosing the type again starts the list over.
    QTest::newRow("main contact and two make contacts") << "M + O + +"
                                                        << "1H2S:1 2 ;13 14 ;23 24 ;"
                                                        << "MOO........." << 3 << 2 << true;
    QTest::newRow("three make contacts are one run") << "O + + +"
                                                     << "3S:13 14 ;23 24 ;33 34 ;"
                                                     << "OOO........." << 3 << 2 << true;
    QTest::newRow("make, break, make") << "O + C + O +"
                                       << "1S1B1S:13 14 ;11 12 ;13 14 ;"
                                       << "OCO........." << 3 << 2 << true;
    QTest::newRow("the list stops at its last marking") << "C + + +"
                                                        << "3B:11 12 ;21 22 ;21 22 ;"
                                                        << "CCC........." << 3 << 2 << true;
    QTest::newRow("a chosen marking") << "O @2 +"
                                      << "1S:33 34 ;"
                                      << "O..........." << 1 << 0 << true;
    // One marking: the marking, two spaces and ";".
    QTest::newRow("one marking") << "N +"
                                 << "1N:X1  ;"
                                 << "N..........." << 1 << 0 << true;
    QTest::newRow("three markings") << "A +"
                                    << "1A:11 12 14 ;"
                                    << "A..........." << 1 << 0 << true;
    QTest::newRow("a fourth marking does not reach the next slot")
        << "D + O +"
        << "1D1S:17 18 19 ;13 14 ;"
        << "DO.........." << 2 << 1 << true;
    QTest::newRow("a slot removed from the middle leaves a gap")
        << "O + + + #1 -"
        << "2S:13 14 ;33 34 ;"
        << "O.O........." << 1 << 0 << true;
    QTest::newRow("the next contact fills the gap") << "O + + + #1 - C +"
                                                    << "1S1B1S:13 14 ;11 12 ;33 34 ;"
                                                    << "OCO........." << 2 << 1 << true;
    QTest::newRow("removing the last contact") << "O + + -"
                                               << "1S:13 14 ;"
                                               << "O..........." << 1 << 0 << true;
    QTest::newRow("removing every contact disables removing") << "O + + - -"
                                                              << ""
                                                              << "............" << 0 << -1 << false;
    QTest::newRow("removing with nothing selected") << "-"
                                                    << ""
                                                    << "............" << 0 << -1 << false;
    QTest::newRow("ten contacts are written with two digits")
        << "O " + repeated("+ ", 10) << "10S:13 14 ;23 24 ;33 34 ;" + repeated("29 30 ;", 7)
        << "OOOOOOOOOO.." << 10 << 9 << true;
}

void TestContactDefinition::editing()
{
    QFETCH(QString, script);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, nextSlot);
    QFETCH(int, selectedSlot);
    QFETCH(bool, removeEnabled);

    ContactDefinition contacts(definitions());
    QVERIFY(play(contacts, script));
    QCOMPARE(contacts.BuildDefinition(), text);
    QCOMPARE(contacts.definition(), text);
    QCOMPARE(slotPattern(contacts), pattern);
    QCOMPARE(contacts.nextSlot(), nextSlot);
    QCOMPARE(contacts.selectedSlot(), selectedSlot);
    QCOMPARE(contacts.removeEnabled(), removeEnabled);
}

void TestContactDefinition::addRefusedWhenEverySlotIsTaken()
{
    ContactDefinition contacts(definitions());
    QVERIFY(play(contacts, "O " + repeated("+ ", ContactDefinition::kSlotCount)));
    const QString full = contacts.BuildDefinition();
    QVERIFY(!play(contacts, "+"));
    QCOMPARE(contacts.BuildDefinition(), full);
    // With a slot selected in the middle there is still no free one.
    QVERIFY(!play(contacts, "#4 +"));
    QCOMPARE(contacts.BuildDefinition(), full);
    // Freeing one makes room again.
    QVERIFY(play(contacts, "#4 - C +"));
    QCOMPARE(slotPattern(contacts), QStringLiteral("OOOOCOOOOOOO"));
}

void TestContactDefinition::addWithoutDefinitions()
{
    // Without chelcondef.txt contacts come without markings.
    ContactDefinition contacts;
    QVERIFY(contacts.terminalChoices().isEmpty());
    QCOMPARE(contacts.terminalPosition(), -1);
    QVERIFY(play(contacts, "O + C +"));
    QCOMPARE(contacts.BuildDefinition(), QStringLiteral("1S1B:  ;  ;"));
}

// ------------------------------------------------------------------ showing a text

void TestContactDefinition::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("main and two make") << "1H2S:1 2 ;13 14 ;23 24 ;"
                                       << "MOO.........";
    QTest::newRow("three make") << "3S:13 14 ;23 24 ;33 34 ;"
                                << "OOO.........";
    QTest::newRow("make break make") << "1S1B1S:13 14 ;11 12 ;13 14 ;"
                                     << "OCO.........";
    QTest::newRow("one marking") << "1N:X1  ;"
                                 << "N...........";
    QTest::newRow("no marking") << "1S:  ;"
                                << "O...........";
    QTest::newRow("first marking empty") << "1S: 13 14 ;"
                                         << "O...........";
    QTest::newRow("three markings") << "1A:11 12 14 ;"
                                    << "A...........";
    QTest::newRow("markings with H, S and B") << "2S:H1 S2 ;B3 B4 ;"
                                              << "OO..........";
    QTest::newRow("ten of one kind") << "10S:" + repeated("13 14 ;", 10) << "OOOOOOOOOO..";
    QTest::newRow("twelve types") << "1H1S1B1A1D1E1Q1X1P1Y1Z1T:" + repeated("1 2 ;", 12)
                                  << "MOCADEQXPYZT";
    QTest::newRow("the last types") << "1U1N1R:95 96 ;X1 X2 ;15 16 18 ;"
                                    << "UNR.........";
}

void TestContactDefinition::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);

    ContactDefinition contacts(definitions());
    contacts.DisplayPresets(text);
    QCOMPARE(slotPattern(contacts), pattern);
    QCOMPARE(contacts.BuildDefinition(), text);
}

void TestContactDefinition::displayPresets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("built");

    QTest::newRow("empty") << ""
                           << "............"
                           << "";
    QTest::newRow("three characters") << "1S:"
                                      << "............"
                                      << "";
    QTest::newRow("no colon") << "2S13 14"
                              << "............"
                              << "";
    QTest::newRow("two runs of one kind become one") << "1S1S:13 14 ;23 24 ;"
                                                     << "OO.........."
                                                     << "2S:13 14 ;23 24 ;";
    QTest::newRow("markings without trailing spaces") << "2S:13 14;23 24"
                                                      << "OO.........."
                                                      << "2S:13 14 ;23 24 ;";
    QTest::newRow("a code without a count is one contact") << "S2B:13 14 ;11 12 ;21 22 ;"
                                                           << "OCC........."
                                                           << "1S2B:13 14 ;11 12 ;21 22 ;";
    QTest::newRow("an unknown code fills nothing") << "2K1S:13 14 ;"
                                                   << "O..........."
                                                   << "1S:13 14 ;";
    QTest::newRow("more contacts than slots") << "99S:13 14 ;"
                                              << "OOOOOOOOOOOO"
                                              << "12S:13 14 ;" + repeated("  ;", 11);
    QTest::newRow("a fourth marking stays in its slot") << "2S:1 3 5 7 ;13 14 ;"
                                                        << "OO.........."
                                                        << "2S:1 3 5 ;13 14 ;";
    QTest::newRow("only a count") << "12:13 14 ;"
                                  << "............"
                                  << "";
    QTest::newRow("text that is no definition") << "Hej:på dig"
                                                << "M..........."
                                                << "1H:på dig ;";
}

void TestContactDefinition::displayPresets()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, built);

    ContactDefinition contacts(definitions());
    contacts.DisplayPresets(text);
    QCOMPARE(slotPattern(contacts), pattern);
    QCOMPARE(contacts.BuildDefinition(), built);
}

void TestContactDefinition::unchangedTextComesBackAsItWas()
{
    const QString text = QStringLiteral("1S1S:13 14;23 24");
    ContactDefinition contacts(definitions());
    contacts.DisplayPresets(text);
    QCOMPARE(contacts.definition(), text);
    // Choosing types and slots changes nothing.
    QVERIFY(play(contacts, "C #0 M"));
    QCOMPARE(contacts.definition(), text);
    // A change gives the built text...
    QVERIFY(play(contacts, "C +"));
    QCOMPARE(contacts.definition(), QStringLiteral("2S1B:13 14 ;23 24 ;11 12 ;"));
    // ...until it is undone.
    QVERIFY(play(contacts, "-"));
    QCOMPARE(contacts.definition(), text);
    contacts.clear();
    QCOMPARE(contacts.definition(), QString());
}

void TestContactDefinition::fitInTheField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fieldLength");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QString>("lengthText");
    QTest::addColumn<QString>("warning");

    const QString text = QStringLiteral("1H2S:1 2 ;13 14 ;23 24 ;"); // 24 characters
    const QString none;
    QTest::newRow("fits") << text << 40 << true << "24 av 40 tecken" << none;
    QTest::newRow("exactly fits") << text << 24 << true << "24 av 24 tecken" << none;
    QTest::newRow("one over") << text << 23 << false << "24 av 23 tecken" << none;
    QTest::newRow("no limit") << text << 0 << true << "24 tecken" << none;
    QTest::newRow("nothing to write") << QString() << 5 << true << "0 av 5 tecken" << none;
    QTest::newRow("marking used twice warns but fits")
        << "2S:13 14 ;13 24 ;" << 40 << true << "17 av 40 tecken"
        << "Uttagsmärkningen 13 används mer än en gång.";
    QTest::newRow("several markings used twice")
        << "3S:13 14 ;13 14 ;23 23 ;" << 24 << true << "24 av 24 tecken"
        << "Uttagsmärkningarna 13, 14 och 23 används mer än en gång.";
}

void TestContactDefinition::fitInTheField()
{
    QFETCH(QString, text);
    QFETCH(int, fieldLength);
    QFETCH(bool, fits);
    QFETCH(QString, lengthText);
    QFETCH(QString, warning);

    const ContactDefinition::Fit fit = ContactDefinition::fit(text, fieldLength);
    QCOMPARE(fit.fits(), fits);
    QCOMPARE(fit.lengthText(), lengthText);
    QCOMPARE(fit.warning(), warning);
    QCOMPARE(fit.refusal().isEmpty(), fits);
    if (!fits)
        QCOMPARE(fit.refusal(), QStringLiteral("Texten behöver 24 tecken men fältet CCONF rymmer "
                                               "23. Ta bort kontakter eller gör fältet längre "
                                               "(Skift+klick på kolumnrubriken)."));
}

void TestContactDefinition::twelveContactsOverflowTheField()
{
    // The list of make contacts runs out after four, so the last markings come again and again.
    ContactDefinition contacts(definitions());
    QVERIFY(play(contacts, "O " + repeated("+ ", ContactDefinition::kSlotCount)));
    const ContactDefinition::Fit fit = contacts.fit(40);
    QCOMPARE(fit.length, contacts.BuildDefinition().size());
    QVERIFY(!fit.fits());
    QCOMPARE(fit.repeatedMarkings, (QStringList{"29", "30"}));
}

// ------------------------------------------------------------------ offered markings

void TestContactDefinition::highestMarkings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("u1");
    QTest::addColumn<int>("u2");

    QTest::newRow("none") << "" << 0 << 0;
    QTest::newRow("main and two make") << "1H2S:1 2 ;13 14 ;23 24 ;" << 2 << 29;
    QTest::newRow("changeover") << "1A:11 12 14 ;" << 0 << 19;
    QTest::newRow("three digits") << "1S:104 9 ;" << 9 << 19;
    QTest::newRow("not numbers") << "2S:A1 A2 ;-1 +2 ;" << 0 << 0;
    QTest::newRow("one character, not a number") << "1N:X 3 ;" << 3 << 0;
}

void TestContactDefinition::highestMarkings()
{
    QFETCH(QString, text);
    QFETCH(int, u1);
    QFETCH(int, u2);

    ContactDefinition contacts;
    contacts.DisplayPresets(text);
    const ContactDefinition::Markings highest = contacts.FindHighestMarkings();
    QCOMPARE(highest.u1, u1);
    QCOMPARE(highest.u2, u2);
}

void TestContactDefinition::offeredMarkings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("position");

    const QStringList make{"13 14", "23 24", "33 34", "29 30"};
    QTest::newRow("make, nothing in use") << ""
                                          << "O" << make << 0;
    // 23 24 in use: the highest is 24, written as 29; the lower-case category has it.
    QTest::newRow("make after 23 24") << "2S:13 14 ;23 24 ;"
                                      << "O" << make << 3;
    QTest::newRow("main after 3") << "1H:3 ;"
                                  << "M" << QStringList{"1 2", "3 4", "5 6"} << 1;
    QTest::newRow("main after 4: none begins with it")
        << "1H:3 4 ;"
        << "M" << QStringList{"1 2", "3 4", "5 6"} << 0;
    QTest::newRow("a type without markings") << ""
                                             << "T" << QStringList{} << -1;
}

void TestContactDefinition::offeredMarkings()
{
    QFETCH(QString, text);
    QFETCH(QString, type);
    QFETCH(QStringList, choices);
    QFETCH(int, position);

    ContactDefinition contacts(definitions());
    contacts.DisplayPresets(text);
    contacts.selectType(ContactDefinition::typeWithCode(type[0]));
    QCOMPARE(contacts.terminalChoices(), choices);
    QCOMPARE(contacts.terminalPosition(), position);
    QCOMPARE(contacts.highlightedType(), contacts.currentType());
    // A label click only highlights.
    contacts.highlightType(14);
    QCOMPARE(contacts.highlightedType(), 14);
    QCOMPARE(contacts.currentType(), ContactDefinition::typeWithCode(type[0]));
    QCOMPARE(contacts.terminalChoices(), choices);
}

// ------------------------------------------------------------------ chelcondef.txt

void TestContactDefinition::parseDefinitions_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected"); // code;text

    QTest::newRow("categories and definitions")
        << QByteArray("O make\r\n 13 14\r\n   23 24  \r\nc\r\n 11 12\r\n")
        << QStringList{"O;13 14", "O;23 24", "c;11 12"};
    QTest::newRow("line feeds only") << QByteArray("O\n 13 14\n") << QStringList{"O;13 14"};
    QTest::newRow("no line end at the end") << QByteArray("O\r\n 13 14") << QStringList{"O;13 14"};
    QTest::newRow("an empty line starts a category without a code")
        << QByteArray("O\r\n 13 14\r\n\r\n 23 24\r\n") << QStringList{"O;13 14", ";23 24"};
    QTest::newRow("definitions before any category")
        << QByteArray(" 1 2\r\nM\r\n 3 4\r\n") << QStringList{";1 2", "M;3 4"};
    QTest::newRow("Windows-1252") << QByteArray("N lampa \xe4\r\n \xc4"
                                                "1 \xc4"
                                                "2\r\n")
                                  << QStringList{QString::fromUtf8("N;Ä1 Ä2")};
    QTest::newRow("a line of spaces is an empty definition")
        << QByteArray("O\r\n   \r\n") << QStringList{"O;"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestContactDefinition::parseDefinitions()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    const TerminalDefinitions parsed = TerminalDefinitions::parse(bytes);
    QStringList found;
    for (const TerminalDefinitions::Definition &definition : parsed.definitions())
        found << definition.code + QLatin1Char(';') + definition.text;
    QCOMPARE(found, expected);
}

void TestContactDefinition::shippedFileCoversEveryType()
{
    QFile file(QStringLiteral(KVISTBO_TERMINAL_DEFINITIONS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const TerminalDefinitions shipped = TerminalDefinitions::parse(file.readAll());
    for (const ContactDefinition::ContactType &type : ContactDefinition::types()) {
        const QStringList texts = shipped.textsFor(QLatin1Char(type.code));
        QVERIFY2(!texts.isEmpty(), type.label);
        for (const QString &text : texts)
            QVERIFY2(text.split(QLatin1Char(' ')).size() <= 3, qPrintable(text));
    }
}

void TestContactDefinition::loadTerminalDefinitions_data()
{
    QTest::addColumn<QStringList>("present"); // which of the two places hold a file
    QTest::addColumn<QString>("firstText");

    QTest::newRow("beside the program") << QStringList{"a", "b"} << "13 14";
    QTest::newRow("in the data folder") << QStringList{"b"} << "23 24";
    QTest::newRow("missing") << QStringList{} << "";
}

void TestContactDefinition::loadTerminalDefinitions()
{
    QFETCH(QStringList, present);
    QFETCH(QString, firstText);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QStringList paths{folder.filePath("a/chelcondef.txt"),
                            folder.filePath("b/chelcondef.txt")};
    QDir(folder.path()).mkpath("a");
    QDir(folder.path()).mkpath("b");
    if (present.contains("a"))
        TestFiles::write(paths[0], "O\r\n 13 14\r\n");
    if (present.contains("b"))
        TestFiles::write(paths[1], "O\r\n 23 24\r\n");

    ScriptedPrompter prompter;
    const TerminalDefinitions loaded =
        TerminalDefinitions::LoadTerminalDefinitions(prompter, paths);
    if (firstText.isEmpty()) {
        QVERIFY(loaded.isEmpty());
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].icon, MessageIcon::Error);
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Fil saknas"));
        QCOMPARE(prompter.shown[0].text,
                 QStringLiteral("Hittar ej definitionsfil för uttagsmärkningar.\n") + paths[0] +
                     "\n" + paths[1]);
        return;
    }
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(loaded.textsFor(QLatin1Char('O')), QStringList{firstText});
}

// ------------------------------------------------------------------ the grid

void TestContactDefinition::writeToGrid_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("cut");

    const QStringList before{"1|ABCDI010|10|x", "2|ABCDI010|20|y", "3|ABCDI010|30|z"};
    QTest::newRow("one row") << 2 << 2 << "1S:13 14 ;"
                             << QStringList{before[0], "2|ABCDI010|20|1S:13 14 ;", before[2]}
                             << true << 0;
    QTest::newRow("rows given bottom up")
        << 3 << 2 << "1S:13 14 ;"
        << QStringList{before[0], "2|ABCDI010|20|1S:13 14 ;", "3|ABCDI010|30|1S:13 14 ;"} << true
        << 0;
    QTest::newRow("the header row is never written")
        << 0 << 1 << "1B:11 12 ;" << QStringList{"1|ABCDI010|10|1B:11 12 ;", before[1], before[2]}
        << true << 0;
    QTest::newRow("an empty text writes nothing") << 1 << 3 << "" << before << false << 0;
    QTest::newRow("cut to the field's length")
        << 1 << 1 << "12S:" + repeated("13 14 ;", 12)
        << QStringList{"1|ABCDI010|10|" + ("12S:" + repeated("13 14 ;", 12)).left(40), before[1],
                       before[2]}
        << true << 1;
}

void TestContactDefinition::writeToGrid()
{
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, edited);
    QFETCH(int, cut);

    ArticleGrid grid = GridFixture::make({"RAD", "BL_NAME", "TYP", "CCONF"},
                                         {"1|ABCDI010|10|x", "2|ABCDI010|20|y", "3|ABCDI010|30|z"});
    const ArticleGrid::CellRange selection{2, 4, 2, 4};
    grid.setSelection(selection);
    const ContactDefinition::WriteResult result =
        ContactDefinition::writeToGrid(grid, firstRow, lastRow, 4, text);
    QCOMPARE(GridFixture::dump(grid), expected);
    QCOMPARE(result.edited, edited);
    QCOMPARE(result.cuts.count(), cut);
    QCOMPARE(grid.selection(), selection);
    if (edited) {
        QCOMPARE(result.change.kind, GridChange::Kind::Cells);
        QCOMPARE(result.change.cells.c1, 4);
        QCOMPARE(result.change.cells.c2, 4);
    } else {
        QCOMPARE(result.change, GridChange::nothing());
    }
}

// ------------------------------------------------------------------ presets

void TestContactDefinition::presets()
{
    using ContactPresets::Preset;
    using ContactPresets::SaveResult;

    // The program's .ini lies in the user's configuration folder, made on the first save.
    const QString file = ContactPresets::defaultFile();
    QVERIFY(file.startsWith(m_folder.path()));
    QVERIFY(file.endsWith(QStringLiteral(".ini")));
    QVERIFY(ContactPresets::read().isEmpty());

    QCOMPARE(ContactPresets::save(QStringLiteral("1H2S:1 2 ;13 14 ;23 24 ;")), SaveResult::Saved);
    // Leading spaces and semicolons survive the file.
    QCOMPARE(ContactPresets::save(QStringLiteral("1S:  ;")), SaveResult::Saved);
    QCOMPARE(ContactPresets::save(QString()), SaveResult::NothingToSave);
    QCOMPARE(ContactPresets::save(QStringLiteral(":13 14 ;")), SaveResult::NothingToSave);
    QCOMPARE(ContactPresets::read(),
             (QList<Preset>{{"1H2S", "1 2 ;13 14 ;23 24 ;"}, {"1S", "  ;"}}));
    QCOMPARE(TestFiles::read(file).contains("[Presets]"), true);

    // The same contacts with other markings replace the earlier preset.
    QCOMPARE(ContactPresets::save(QStringLiteral("1S:23 24 ;")), SaveResult::Saved);
    QVERIFY(ContactPresets::remove(QStringLiteral("1H2S")));
    QCOMPARE(ContactPresets::read(), (QList<Preset>{{"1S", "23 24 ;"}}));
    QCOMPARE(ContactPresets::read().first().definition(), QStringLiteral("1S:23 24 ;"));

    // What the catalogue files cannot hold is not offered.
    QVERIFY(Settings::writeIni("Presets", "1N", QString::fromUtf8("Ω1 ;"), file));
    QCOMPARE(ContactPresets::read(), (QList<Preset>{{"1S", "23 24 ;"}}));
}

void TestContactDefinition::presetThatCannotBeWritten()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A file where the folder should be.
    TestFiles::write(folder.filePath("config"), "x");
    const QString file = folder.filePath("config/Ravelund.ini");
    QCOMPARE(ContactPresets::save(QStringLiteral("1S:13 14 ;"), file),
             ContactPresets::SaveResult::Failed);
    QVERIFY(ContactPresets::read(file).isEmpty());
}

QTEST_GUILESS_MAIN(TestContactDefinition)
#include "tst_contactdefinition.moc"
