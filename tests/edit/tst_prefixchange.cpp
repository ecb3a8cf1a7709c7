#include "edit/PrefixChange.h"

#include "browse/ArticleSelection.h"
#include "core/AppError.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(ArticleSelection)

namespace {

const QString kOld = QStringLiteral("ABCD");
const QString kNew = QStringLiteral("EFGH");
const QString kNull = QStringLiteral("<null>");

FieldList fields(bool withAccessories = true)
{
    FieldList list = rowNumberOnlyFieldList();
    list << FieldDesc{QStringLiteral("BL_NAME"), QStringLiteral("Blocknamn"), 10, 1}
         << FieldDesc{QStringLiteral("TYP"), QStringLiteral("Typ"), 4, 11}
         << FieldDesc{QStringLiteral("BENÄMNING"), QStringLiteral("Benämning"), 40, 15};
    if (withAccessories)
        list << FieldDesc{QStringLiteral("TBH/APP"), QStringLiteral("Tillbehör"), 20, 55};
    return list;
}

// Null as kNull, so a null and an empty text tell apart.
QVariant stored(const QString &value)
{
    return value == kNull ? QVariant() : QVariant(value);
}

QString shown(const Statement &st, int column)
{
    return st.isNull(column) ? kNull : st.text(column);
}

// Every row of every table, with its row id, to show that a failure changed nothing at all.
QStringList everything(Database &db)
{
    QStringList rows;
    for (const char *table : {Schema::kArticles, Schema::kDesignations, Schema::kEqv}) {
        Statement st = db.prepare(
            QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        while (st.step()) {
            QStringList row{QLatin1String(table)};
            for (int c = 0; c < st.columnCount(); ++c)
                row << shown(st, c);
            rows << row.join(QLatin1Char('|'));
        }
    }
    return rows;
}

} // namespace

class TestPrefixChange : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void currentPrefix_data();
    void currentPrefix();
    void typingFilter_data();
    void typingFilter();
    void checkNewPrefix_data();
    void checkNewPrefix();

    void renamesEveryReference_data();
    void renamesEveryReference();
    void renamesAWholeLibrary();
    void missingReferenceColumnIsLeftOut();
    void emptyPrefixIsRefused();
    void failureLeavesEveryTable_data();
    void failureLeavesEveryTable();
    void applyReportsFailure();

    void renamedSelection_data();
    void renamedSelection();

private:
    // Creates the tables (with their indexes) of a catalogue with the given fields.
    void create(const FieldList &list);
    void insert(const char *table, const QString &column, const QVariant &value);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

void TestPrefixChange::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>(m_dir->filePath(QStringLiteral("art.tdb")),
                                      Database::OpenMode::Create);
    create(fields());
}

void TestPrefixChange::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestPrefixChange::create(const FieldList &list)
{
    // Each case makes its own database; waiting for the disk adds nothing to what is tested.
    m_db->exec(QStringLiteral("PRAGMA synchronous = OFF"));
    Schema::createTables(*m_db, list);
    Schema::createIndexes(*m_db, list);
}

void TestPrefixChange::insert(const char *table, const QString &column, const QVariant &value)
{
    m_db->prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                      .arg(QLatin1String(table), quoteIdentifier(column)))
        .bindVariant(1, value)
        .run();
}

void TestPrefixChange::currentPrefix_data()
{
    QTest::addColumn<QStringList>("blockNames");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("no groups") << QStringList() << QString();
    QTest::newRow("only a missing name") << QStringList{kNull} << QString();
    QTest::newRow("article and accessory groups")
        << QStringList{"ABCDI010", "ABCD#K01", "ABCDIZZ0"} << "ABCD";
    // Swedish order, letter case ignored: Ö comes after Z.
    QTest::newRow("greatest in Swedish order") << QStringList{"ZZZZI010", "ÖRNAI010"} << "ÖRNA";
    QTest::newRow("shorter than a prefix") << QStringList{"AB"} << "AB";
    // clang-format on
}

void TestPrefixChange::currentPrefix()
{
    QFETCH(QStringList, blockNames);
    QFETCH(QString, expected);
    for (const QString &name : blockNames)
        insert(Schema::kDesignations, QStringLiteral("BL_NAME"), stored(name));

    QCOMPARE(PrefixChange::currentPrefix(*m_db), expected);
}

void TestPrefixChange::typingFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    // clang-format off
    QTest::newRow("empty") << "" << true;
    QTest::newRow("letters") << "AZaz" << true;
    QTest::newRow("hyphen, at sign, underscore") << "-@_" << true;
    QTest::newRow("digit") << "AB1" << false;
    QTest::newRow("blank") << "A B" << false;
    QTest::newRow("full stop") << "A.B" << false;
    QTest::newRow("comma (44)") << "," << false;
    QTest::newRow("question mark (63)") << "?" << false;
    QTest::newRow("square bracket (91)") << "[" << false;
    QTest::newRow("caret (94)") << "^" << false;
    QTest::newRow("grave accent (96)") << "`" << false;
    QTest::newRow("brace (123)") << "{" << false;
    QTest::newRow("Swedish letter") << "Å" << false;
    QTest::newRow("apostrophe") << "'" << false;
    QTest::newRow("tab") << "\t" << false;
    // clang-format on
}

void TestPrefixChange::typingFilter()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(PrefixChange::acceptableInput(text), accepted);
}

void TestPrefixChange::checkNewPrefix_data()
{
    QTest::addColumn<QString>("oldPrefix");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("applicable");

    // clang-format off
    QTest::newRow("new library") << "ABCD" << "efgh" << "EFGH" << true;
    QTest::newRow("upper case typed") << "ABCD" << "EFGH" << "EFGH" << true;
    QTest::newRow("same library in lower case") << "ABCD" << "abcd" << "ABCD" << false;
    QTest::newRow("same library, one letter lower") << "ABCD" << "ABCd" << "ABCD" << false;
    QTest::newRow("same library") << "ABCD" << "ABCD" << "ABCD" << false;
    QTest::newRow("three characters kept as typed") << "ABCD" << "efg" << "efg" << false;
    QTest::newRow("five characters") << "ABCD" << "efghi" << "efghi" << false;
    QTest::newRow("empty") << "ABCD" << "" << "" << false;
    QTest::newRow("no library") << "" << "efgh" << "efgh" << false;
    QTest::newRow("short library") << "AB" << "efgh" << "efgh" << false;
    QTest::newRow("signs") << "ABCD" << "a-@_" << "A-@_" << true;
    // The old prefix is what the block names hold, so it keeps its case.
    QTest::newRow("lower-case library to upper case") << "abcd" << "ABCD" << "ABCD" << true;
    QTest::newRow("lower-case library, typed alike") << "abcd" << "abcd" << "abcd" << false;
    // clang-format on
}

void TestPrefixChange::checkNewPrefix()
{
    QFETCH(QString, oldPrefix);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, applicable);

    const PrefixChange::NewPrefix checked = PrefixChange::checkNewPrefix(oldPrefix, typed);
    QCOMPARE(checked.text, shown);
    QCOMPARE(checked.applicable, applicable);
    // The box runs the check again on what it now shows; that must settle.
    const PrefixChange::NewPrefix again = PrefixChange::checkNewPrefix(oldPrefix, checked.text);
    QCOMPARE(again.text, checked.text);
    QCOMPARE(again.applicable, checked.applicable);
}

void TestPrefixChange::renamesEveryReference_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("oldPrefix");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    // clang-format off
    const QString a = QLatin1String(Schema::kArticles);
    const QString d = QLatin1String(Schema::kDesignations);
    const QString e = QLatin1String(Schema::kEqv);
    const QString name = QStringLiteral("BL_NAME");
    const QString tbh = QStringLiteral("TBH/APP");
    const QString text = QStringLiteral("BENÄMNING");

    QTest::newRow("article block name") << a << name << kOld << "ABCDI010" << "EFGHI010";
    QTest::newRow("accessory block name") << a << name << kOld << "ABCD#K01" << "EFGH#K01";
    QTest::newRow("further on and twice") << a << name << kOld << "XABCDABCD" << "XEFGHEFGH";
    QTest::newRow("lower case untouched") << a << name << kOld << "abcdI010" << "abcdI010";
    QTest::newRow("mixed case untouched") << a << name << kOld << "AbCDI010" << "AbCDI010";
    QTest::newRow("other library untouched") << a << name << kOld << "ABCEI010" << "ABCEI010";
    QTest::newRow("missing block name stays missing") << a << name << kOld << kNull << kNull;
    QTest::newRow("overlapping, left to right") << a << name << "AAAA" << "AAAAAI0" << "EFGHAI0";
    QTest::newRow("apostrophe in the library") << a << name << "AB'D" << "AB'DI010" << "EFGHI010";
    QTest::newRow("accessory reference") << a << tbh << kOld << "ABCD#K05" << "EFGH#K05";
    QTest::newRow("two references")
        << a << tbh << kOld << "ABCD#K1 ABCD#K2" << "EFGH#K1 EFGH#K2";
    QTest::newRow("missing reference becomes empty") << a << tbh << kOld << kNull << "";
    QTest::newRow("empty reference stays") << a << tbh << kOld << "" << "";
    QTest::newRow("other reference untouched") << a << tbh << kOld << "XYZW#K01" << "XYZW#K01";
    QTest::newRow("article designation untouched")
        << a << text << kOld << "ABCD-skena" << "ABCD-skena";
    QTest::newRow("group block name") << d << name << kOld << "ABCDI010" << "EFGHI010";
    QTest::newRow("group description untouched")
        << d << QStringLiteral("DESCRIPTION") << kOld << "ABCD serie" << "ABCD serie";
    QTest::newRow("equivalence block name") << e << name << kOld << "ABCDI991" << "EFGHI991";
    QTest::newRow("equivalence reference") << e << text << kOld << "=ABCDI010" << "=EFGHI010";
    QTest::newRow("equivalence text")
        << e << text << kOld << "Se även ABCDI010" << "Se även EFGHI010";
    QTest::newRow("apostrophe and Swedish letters")
        << e << text << kOld << "O'Brien ÅABCDÄ" << "O'Brien ÅEFGHÄ";
    QTest::newRow("missing equivalence text becomes empty") << e << text << kOld << kNull << "";
    // clang-format on
}

void TestPrefixChange::renamesEveryReference()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, oldPrefix);
    QFETCH(QString, before);
    QFETCH(QString, after);

    insert(qPrintable(table), column, stored(before));
    PrefixChange::rename(*m_db, oldPrefix, kNew);

    Statement st = m_db->prepare(
        QStringLiteral("SELECT %1 FROM %2").arg(quoteIdentifier(column), quoteIdentifier(table)));
    QVERIFY(st.step());
    QCOMPARE(shown(st, 0), after);
    QVERIFY(!st.step());
}

// A small library, renamed as a whole, then read back the way the tree and grid read it.
void TestPrefixChange::renamesAWholeLibrary()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO Articles (RAD, BL_NAME, TYP, \"BENÄMNING\", \"TBH/APP\") VALUES "
        "(1, 'ABCDI010', '1', 'Kontaktor', 'ABCD#K01'), (2, 'ABCDI010', '2', 'Relä', NULL), "
        "(3, 'ABCD#K01', '3', 'Hjälpkontakt', '');"
        "INSERT INTO Designations VALUES ('ABCDI010', 'Kontaktorer'), ('ABCD#K01', 'Tillbehör');"
        "INSERT INTO Eqv (RAD, BL_NAME, \"BENÄMNING\") VALUES (9, 'ABCDI991', '=ABCDI010');"));

    PrefixChange::rename(*m_db, kOld, kNew);

    QCOMPARE(PrefixChange::currentPrefix(*m_db), kNew);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Articles WHERE BL_NAME = ?"),
                          QStringLiteral("EFGHI010"))
                 .toInt(),
             2);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Articles WHERE BL_NAME LIKE "
                                         "'ABCD%' OR \"TBH/APP\" LIKE 'ABCD%'"))
                 .toInt(),
             0);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(\"TBH/APP\", ',') FROM "
                                         "(SELECT \"TBH/APP\" FROM Articles ORDER BY RAD)"))
                 .toString(),
             QStringLiteral("EFGH#K01,,"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT \"BENÄMNING\" FROM Eqv")).toString(),
             QStringLiteral("=EFGHI010"));
    // The indexes follow: a lookup through them finds the renamed group.
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT DESCRIPTION FROM Designations INDEXED BY "
                                         "Designations_BL_NAME WHERE BL_NAME = ?"),
                          QStringLiteral("EFGH#K01"))
                 .toString(),
             QStringLiteral("Tillbehör"));
    QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
             QStringLiteral("ok"));
}

// A catalogue without an accessory column has no references there to rename.
void TestPrefixChange::missingReferenceColumnIsLeftOut()
{
    m_db.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>(m_dir->filePath(QStringLiteral("art.tdb")),
                                      Database::OpenMode::Create);
    create(fields(false));
    insert(Schema::kArticles, QStringLiteral("BL_NAME"), QStringLiteral("ABCDI010"));

    QVERIFY(!PrefixChange::renameStatements(*m_db).join(' ').contains(QLatin1String("TBH")));
    PrefixChange::rename(*m_db, kOld, kNew);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT BL_NAME FROM Articles")).toString(),
             QStringLiteral("EFGHI010"));
}

// Renaming "nothing" would only turn missing references into empty ones.
void TestPrefixChange::emptyPrefixIsRefused()
{
    insert(Schema::kArticles, QStringLiteral("TBH/APP"), QVariant());
    const QStringList before = everything(*m_db);

    QVERIFY_THROWS_EXCEPTION(AppError, PrefixChange::rename(*m_db, QString(), kNew));
    QVERIFY_THROWS_EXCEPTION(AppError, PrefixChange::rename(*m_db, kOld, QString()));
    QCOMPARE(everything(*m_db), before);
}

void TestPrefixChange::failureLeavesEveryTable_data()
{
    QTest::addColumn<QString>("refusing");

    // clang-format off
    QTest::newRow("first table") << QString::fromLatin1(Schema::kArticles);
    QTest::newRow("middle table") << QString::fromLatin1(Schema::kDesignations);
    QTest::newRow("last table") << QString::fromLatin1(Schema::kEqv);
    // clang-format on
}

void TestPrefixChange::failureLeavesEveryTable()
{
    QFETCH(QString, refusing);
    m_db->exec(QStringLiteral(
        "INSERT INTO Articles (RAD, BL_NAME, \"TBH/APP\") VALUES (1, 'ABCDI010', NULL), "
        "(2, 'ABCDI010', 'ABCD#K01');"
        "INSERT INTO Designations VALUES ('ABCDI010', 'Kontaktorer');"
        "INSERT INTO Eqv (RAD, BL_NAME, \"BENÄMNING\") VALUES (9, 'ABCDI991', '=ABCDI010');"));
    m_db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON %1 BEGIN "
                              "SELECT RAISE(ABORT, 'Tabellen är låst'); END")
                   .arg(refusing));
    const QStringList before = everything(*m_db);

    try {
        PrefixChange::rename(*m_db, kOld, kNew);
        QFAIL("the rename went through");
    } catch (const AppError &e) {
        QCOMPARE(e.description(), QStringLiteral("Tabellen är låst"));
    }
    QCOMPARE(everything(*m_db), before);
    // The connection is usable again: no transaction was left open.
    m_db->exec(QStringLiteral("DROP TRIGGER Refuse"));
    PrefixChange::rename(*m_db, kOld, kNew);
    QCOMPARE(PrefixChange::currentPrefix(*m_db), kNew);
}

void TestPrefixChange::applyReportsFailure()
{
    insert(Schema::kDesignations, QStringLiteral("BL_NAME"), QStringLiteral("ABCDI010"));
    m_db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON Designations BEGIN "
                              "SELECT RAISE(ABORT, 'Tabellen är låst'); END"));
    ScriptedPrompter prompter;
    QList<bool> busy;
    const auto recordBusy = [&busy](bool on) { busy << on; };

    QVERIFY(!PrefixChange::apply(*m_db, prompter, kOld, kNew, recordBusy));
    QCOMPARE(busy, (QList<bool>{true, false}));
    QCOMPARE(prompter.texts(),
             QStringList{QStringLiteral("frmChangePrefix:cmdApply::ERROR:19 - Tabellen är låst\n\n"
                                        "Biblioteket har inte bytts, databasen är oförändrad.")});
    QCOMPARE(PrefixChange::currentPrefix(*m_db), kOld);

    m_db->exec(QStringLiteral("DROP TRIGGER Refuse"));
    QVERIFY(PrefixChange::apply(*m_db, prompter, kOld, kNew));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(PrefixChange::currentPrefix(*m_db), kNew);
}

void TestPrefixChange::renamedSelection_data()
{
    QTest::addColumn<ArticleSelection>("before");
    QTest::addColumn<ArticleSelection>("after");

    // clang-format off
    QTest::newRow("nothing shown") << ArticleSelection() << ArticleSelection();
    QTest::newRow("root") << ArticleSelection::root() << ArticleSelection::root();
    QTest::newRow("group") << ArticleSelection::group("ABCDI010")
                           << ArticleSelection::group("EFGHI010");
    QTest::newRow("group of another library") << ArticleSelection::group("XYZWI010")
                                              << ArticleSelection::group("XYZWI010");
    // The maker's name is no block name and keeps its text.
    QTest::newRow("manufacturer")
        << ArticleSelection::manufacturer("ABCD Elektro", "ABCDI010")
        << ArticleSelection::manufacturer("ABCD Elektro", "EFGHI010");
    // clang-format on
}

void TestPrefixChange::renamedSelection()
{
    QFETCH(ArticleSelection, before);
    QFETCH(ArticleSelection, after);
    QCOMPARE(PrefixChange::renamedSelection(before, kOld, kNew), after);
}

QTEST_GUILESS_MAIN(TestPrefixChange)
#include "tst_prefixchange.moc"

// The failure tests stop a write half-way with a trigger, which working databases never run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);
