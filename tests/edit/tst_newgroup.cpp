#include "edit/NewGroup.h"

#include "core/AppError.h"
#include "db/Database.h"
#include "support/CatalogueFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using CatalogueFixture::line;
using NewGroup::Kind;
using NewGroup::Special;
using State = NewGroup::Verdict::State;

Q_DECLARE_METATYPE(NewGroup::Kind)
Q_DECLARE_METATYPE(NewGroup::Special)
Q_DECLARE_METATYPE(NewGroup::Verdict::State)
Q_DECLARE_METATYPE(NewGroup::Request)

namespace {

struct StoredRow
{
    qint64 row;
    QString rowType; // SQLite's storage class of RAD
    QString blockName;
    QString type;
    QString designation;

    bool operator==(const StoredRow &) const = default;
};

QList<StoredRow> rowsOf(Database &db, const QString &table, const QString &blockName)
{
    QList<StoredRow> rows;
    Statement st = db.prepare(QStringLiteral("SELECT RAD, typeof(RAD), BL_NAME, TYP, \"BENÄMNING\" "
                                             "FROM \"%1\" WHERE BL_NAME = ? ORDER BY RAD")
                                  .arg(table));
    st.bind(1, blockName);
    while (st.step())
        rows.append({st.int64(0), st.text(1), st.text(2), st.text(3), st.text(4)});
    return rows;
}

qint64 count(Database &db, const char *table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)))
        .toLongLong();
}

NewGroup::Request request(Kind kind, const QString &prefixLabel, const QString &code,
                          const QString &description, int number, Special special)
{
    NewGroup::Request r;
    r.kind = kind;
    r.prefixLabel = prefixLabel;
    r.code = code;
    r.description = description;
    r.number = number;
    r.special = special;
    return r;
}

} // namespace

class TestNewGroup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keyFilters_data();
    void keyFilters();
    void validation_data();
    void validation();
    void accessoryPrefixWarning_data();
    void accessoryPrefixWarning();
    void planNumbersTheRows_data();
    void planNumbersTheRows();

    void readsPrefixCodesAndDescriptionSize();
    void emptyDesignationsGiveNoPrefixAndNoCodes();
    void writesTheGroup_data();
    void writesTheGroup();
    void failureWritesNothing_data();
    void failureWritesNothing();
    void lockedDatabaseIsRefusedInSwedish();

private:
    QTemporaryDir m_template;
    QString m_templatePath;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<Database> m_db;
};

void TestNewGroup::initTestCase()
{
    // Two article groups and an accessory group, in that order; the highest row number is 120.
    m_templatePath = CatalogueFixture::importDatabase(
        m_template.path(), QStringLiteral("art"),
        {line("ABCDI010", "1", "Överspänningsskydd", "Åkerby"), line("ABCDIX20", "1", "Kontaktor"),
         line("ABCD#123", "1", "TILLB Lock"), line("ABCDI999", "", "=ABCDI010")});
    Database(m_templatePath, Database::OpenMode::ReadWrite)
        .exec(QStringLiteral("UPDATE Eqv SET RAD = 120"));
}

void TestNewGroup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("art.tdb"));
    QVERIFY(QFile::copy(m_templatePath, m_path));
    m_db = std::make_unique<Database>(m_path, Database::OpenMode::ReadWrite);
}

void TestNewGroup::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestNewGroup::keyFilters_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("codeBox");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("article code letters and digits") << Kind::Article << true << "aZ09" << true;
    QTest::newRow("article code colon, semicolon") << Kind::Article << true << ":;" << true;
    QTest::newRow("article code hash") << Kind::Article << true << "#" << false;
    QTest::newRow("article code Swedish letter") << Kind::Article << true << "Ö" << false;
    QTest::newRow("article code space") << Kind::Article << true << "M " << false;
    QTest::newRow("article code hyphen") << Kind::Article << true << "-" << false;
    QTest::newRow("accessory code hash, digits") << Kind::Accessory << true << "1#;" << true;
    QTest::newRow("accessory code letters and digits")
        << Kind::Accessory << true << "K01aZ" << true;
    QTest::newRow("accessory code Swedish letter") << Kind::Accessory << true << "Å01" << false;
    QTest::newRow("accessory code space") << Kind::Accessory << true << "K 1" << false;
    QTest::newRow("article number digits") << Kind::Article << false << "0123456789:;" << true;
    QTest::newRow("article number hash") << Kind::Article << false << "3#" << false;
    QTest::newRow("article number letter") << Kind::Article << false << "3a" << false;
    QTest::newRow("accessory number hash") << Kind::Accessory << false << "3#" << true;
    QTest::newRow("accessory number sign") << Kind::Accessory << false << "-3" << false;
    QTest::newRow("empty") << Kind::Article << false << "" << true;
}

void TestNewGroup::keyFilters()
{
    QFETCH(Kind, kind);
    QFETCH(bool, codeBox);
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    QCOMPARE(codeBox ? NewGroup::acceptableCode(kind, text)
                     : NewGroup::acceptableNumber(kind, text),
             accepted);
}

void TestNewGroup::validation_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("number");
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("message");

    const QString none;
    const QString twoCharacters = QStringLiteral("Koden ska ha 2 tecken.");
    const QString threeCharacters = QStringLiteral("Koden ska ha 3 tecken.");
    QTest::newRow("empty code") << Kind::Article << ""
                                << "Motorskydd"
                                << "3" << State::Incomplete << twoCharacters;
    QTest::newRow("one character") << Kind::Article << "M"
                                   << "Motorskydd"
                                   << "3" << State::Incomplete << twoCharacters;
    QTest::newRow("three characters") << Kind::Article << "MSX"
                                      << "Motorskydd"
                                      << "3" << State::Incomplete << twoCharacters;
    QTest::newRow("accessory two characters") << Kind::Accessory << "K0"
                                              << "TILLB x"
                                              << "3" << State::Incomplete << threeCharacters;
    QTest::newRow("accessory four characters") << Kind::Accessory << "K012"
                                               << "TILLB x"
                                               << "3" << State::Incomplete << threeCharacters;
    QTest::newRow("accessory letters and digits") << Kind::Accessory << "K01"
                                                  << "TILLB Kontaktorer"
                                                  << "3" << State::Valid << none;
    QTest::newRow("used accessory code with a letter")
        << Kind::Accessory << "x20"
        << "TILLB x"
        << "3" << State::Invalid << NewGroup::kAccessoryCodeUsed;
    QTest::newRow("used code") << Kind::Article << "X2"
                               << "Motorskydd"
                               << "3" << State::Invalid << NewGroup::kCodeUsed;
    QTest::newRow("used code in lower case") << Kind::Article << "x2"
                                             << "Motorskydd"
                                             << "3" << State::Invalid << NewGroup::kCodeUsed;
    QTest::newRow("used accessory code") << Kind::Accessory << "123"
                                         << "TILLB x"
                                         << "3" << State::Invalid << NewGroup::kAccessoryCodeUsed;
    QTest::newRow("used code before short description")
        << Kind::Article << "01"
        << "M"
        << "0" << State::Invalid << NewGroup::kCodeUsed;
    QTest::newRow("empty description") << Kind::Article << "MS"
                                       << ""
                                       << "3" << State::Invalid << NewGroup::kDescriptionTooShort;
    QTest::newRow("one-character description")
        << Kind::Article << "MS"
        << "M"
        << "3" << State::Invalid << NewGroup::kDescriptionTooShort;
    QTest::newRow("short description before number")
        << Kind::Article << "MS"
        << "M"
        << "" << State::Invalid << NewGroup::kDescriptionTooShort;
    QTest::newRow("empty number") << Kind::Article << "MS"
                                  << "Mo"
                                  << "" << State::Invalid << NewGroup::kNumberTooSmall;
    QTest::newRow("number 0") << Kind::Article << "MS"
                              << "Mo"
                              << "00" << State::Invalid << NewGroup::kNumberTooSmall;
    QTest::newRow("number 1") << Kind::Article << "MS"
                              << "Mo"
                              << "1" << State::Valid << none;
    QTest::newRow("number 32767") << Kind::Accessory << "456"
                                  << "TILLB x"
                                  << "32767" << State::Valid << none;
    QTest::newRow("number 32768") << Kind::Accessory << "456"
                                  << "TILLB x"
                                  << "32768" << State::Invalid << NewGroup::kNumberTooLarge;
    QTest::newRow("number past 64 bits")
        << Kind::Accessory << "456"
        << "TILLB x"
        << "123456789012345678901234567890" << State::Invalid << NewGroup::kNumberTooLarge;
    QTest::newRow("colon in number") << Kind::Article << "MS"
                                     << "Mo"
                                     << "3:" << State::NotANumber << none;
    QTest::newRow("hash in number") << Kind::Accessory << "456"
                                    << "TILLB x"
                                    << "#" << State::NotANumber << none;
    QTest::newRow("accessory valid") << Kind::Accessory << "12#"
                                     << "TILLB x"
                                     << "10" << State::Valid << none;
}

void TestNewGroup::validation()
{
    QFETCH(Kind, kind);
    QFETCH(QString, code);
    QFETCH(QString, description);
    QFETCH(QString, number);
    QFETCH(State, state);
    QFETCH(QString, message);

    const QStringList used = NewGroup::readUsedCodes(*m_db, kind);
    const NewGroup::Verdict verdict = NewGroup::validate(kind, code, description, number, used);
    QCOMPARE(verdict.state, state);
    QCOMPARE(verdict.message, message);
}

void TestNewGroup::accessoryPrefixWarning_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("warned");

    QTest::newRow("begins with the prefix") << "TILLB Kontaktorer"
                                            << "TILLB" << false;
    QTest::newRow("case ignored") << "Tillbehör kabel"
                                  << "TILLB" << false;
    QTest::newRow("Swedish letters, case ignored") << "ÅTERFÖRSÄLJARE"
                                                   << "återf" << false;
    QTest::newRow("another word") << "Kontaktorer"
                                  << "TILLB" << true;
    QTest::newRow("prefix only in part") << "TILL kabel"
                                         << "TILLB" << true;
    QTest::newRow("no prefix set") << "Kontaktorer"
                                   << "" << false;
}

void TestNewGroup::accessoryPrefixWarning()
{
    QFETCH(QString, description);
    QFETCH(QString, prefix);
    QFETCH(bool, warned);

    const QString warning = NewGroup::accessoryPrefixWarning(description, prefix);
    QCOMPARE(!warning.isEmpty(), warned);
    if (warned)
        QCOMPARE(warning, QStringLiteral("Benämningen börjar inte med tillbehörsprefixet '%1', så "
                                         "gruppen visas inte i listan över tillbehörsgrupper.")
                              .arg(prefix));
}

void TestNewGroup::planNumbersTheRows_data()
{
    QTest::addColumn<NewGroup::Request>("request");
    QTest::addColumn<qint64>("highest");
    QTest::addColumn<QString>("blockName");
    QTest::addColumn<qint64>("firstRow");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<qint64>("equivalenceRow"); // -1: none
    QTest::addColumn<QString>("equivalenceBlockName");

    QTest::newRow("fuse group") << request(Kind::Article, "ABCDI", "MS", "Motorskydd", 3,
                                           Special::Fuse)
                                << qint64(120) << "ABCDIMS0" << qint64(121)
                                << QStringList{"F-", "F1", "F2", "F3"} << qint64(125) << "ABCD*MS*";
    QTest::newRow("terminal group, code in lower case")
        << request(Kind::Article, "abcdI", "t1", "Plintar", 2, Special::Terminal) << qint64(0)
        << "ABCDIT10" << qint64(1) << QStringList{"T-", "T1", "T2"} << qint64(4) << "ABCD*T1*";
    QTest::newRow("plain group") << request(Kind::Article, "VMKBI", "K2", "Kontaktor", 2,
                                            Special::None)
                                 << qint64(7) << "VMKBIK20" << qint64(8)
                                 << QStringList{"-", "1", "2"} << qint64(11) << "VMKB*K2*";
    QTest::newRow("accessory group, no kind letter")
        << request(Kind::Accessory, "ABCD#", "12#", "TILLB Lock", 2, Special::Fuse) << qint64(120)
        << "ABCD#12#" << qint64(121) << QStringList{"-", "1", "2"} << qint64(-1) << "";
}

void TestNewGroup::planNumbersTheRows()
{
    QFETCH(NewGroup::Request, request);
    QFETCH(qint64, highest);
    QFETCH(QString, blockName);
    QFETCH(qint64, firstRow);
    QFETCH(QStringList, types);
    QFETCH(qint64, equivalenceRow);
    QFETCH(QString, equivalenceBlockName);

    const NewGroup::Rows rows = NewGroup::plan(request, highest);

    QCOMPARE(rows.blockName, blockName);
    QCOMPARE(rows.description, request.description);
    QStringList plannedTypes;
    for (size_t i = 0; i < rows.articles.size(); ++i) {
        QCOMPARE(rows.articles[i].row, firstRow + qint64(i));
        plannedTypes << rows.articles[i].type;
    }
    QCOMPARE(plannedTypes, types);
    QCOMPARE(rows.equivalenceRow.value_or(-1), equivalenceRow);
    QCOMPARE(rows.equivalenceBlockName, equivalenceBlockName);
    QCOMPARE(rows.equivalenceDesignation,
             equivalenceRow < 0 ? QString() : QLatin1Char('=') + blockName);
}

void TestNewGroup::readsPrefixCodesAndDescriptionSize()
{
    QCOMPARE(NewGroup::readLibraryPrefix(*m_db), QStringLiteral("ABCD"));
    const auto sorted = [](QStringList codes) {
        codes.sort();
        return codes;
    };
    QCOMPARE(sorted(NewGroup::readUsedCodes(*m_db, Kind::Article)),
             (QStringList{"01", "12", "X2"}));
    QCOMPARE(sorted(NewGroup::readUsedCodes(*m_db, Kind::Accessory)),
             (QStringList{"010", "123", "X20"}));
    QCOMPARE(NewGroup::descriptionLength(*m_db), 20);

    // The prefix is the first group's, even where an index would list another one first.
    m_db->exec(QStringLiteral("DELETE FROM Designations"));
    m_db->exec(QStringLiteral("INSERT INTO Designations (BL_NAME) VALUES ('ZZZZI010'), "
                              "('AAAAI020')"));
    QCOMPARE(NewGroup::readLibraryPrefix(*m_db), QStringLiteral("ZZZZ"));
}

void TestNewGroup::emptyDesignationsGiveNoPrefixAndNoCodes()
{
    m_db->exec(QStringLiteral("DELETE FROM Designations"));
    QCOMPARE(NewGroup::readLibraryPrefix(*m_db), QString());
    QVERIFY(NewGroup::readUsedCodes(*m_db, Kind::Article).isEmpty());
    QCOMPARE(NewGroup::designedPrefixLabel(Kind::Article), QStringLiteral("VMKBI"));
    QCOMPARE(NewGroup::designedPrefixLabel(Kind::Accessory), QStringLiteral("VMKB#"));
}

void TestNewGroup::writesTheGroup_data()
{
    QTest::addColumn<NewGroup::Request>("request");
    QTest::addColumn<QString>("blockName");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<bool>("equivalence");

    QTest::newRow("article group")
        << request(Kind::Article, "ABCDI", "MS", "Motorskydd", 3, Special::Fuse) << "ABCDIMS0"
        << QStringList{"F-", "F1", "F2", "F3"} << true;
    QStringList thirty{"-"};
    for (int k = 1; k <= 30; ++k)
        thirty << QString::number(k);
    QTest::newRow("thirty articles")
        << request(Kind::Article, "ABCDI", "ms", "Motor's skydd", 30, Special::None) << "ABCDIMS0"
        << thirty << true;
    QTest::newRow("accessory group")
        << request(Kind::Accessory, "ABCD#", "45#", "TILLB Lock", 10, Special::None) << "ABCD#45#"
        << thirty.mid(0, 11) << false;
    QTest::newRow("accessory group named with a letter")
        << request(Kind::Accessory, "ABCD#", "k01", "TILLB Kontaktorer", 2, Special::None)
        << "ABCD#K01" << thirty.mid(0, 3) << false;
}

void TestNewGroup::writesTheGroup()
{
    QFETCH(NewGroup::Request, request);
    QFETCH(QString, blockName);
    QFETCH(QStringList, types);
    QFETCH(bool, equivalence);
    const qint64 eqvBefore = count(*m_db, "Eqv");

    NewGroup::write(*m_db, request);

    QList<StoredRow> expected;
    for (qsizetype k = 0; k < types.size(); ++k)
        expected.append({121 + k, "integer", blockName, types.at(k), request.description});
    QCOMPARE(rowsOf(*m_db, "Articles", blockName), expected);

    const QString equivalenceName =
        (request.prefixLabel.left(4) + '*' + request.code + '*').toUpper();
    if (equivalence) {
        QCOMPARE(rowsOf(*m_db, "Eqv", equivalenceName),
                 (QList<StoredRow>{{121 + types.size(), "integer", equivalenceName, QString(),
                                    '=' + blockName}}));
    }
    QCOMPARE(count(*m_db, "Eqv"), eqvBefore + (equivalence ? 1 : 0));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT DESCRIPTION FROM Designations WHERE BL_NAME = ?"),
                          blockName)
                 .toString(),
             request.description);
    QVERIFY(
        NewGroup::readUsedCodes(*m_db, request.kind).contains(request.code, Qt::CaseInsensitive));
}

void TestNewGroup::failureWritesNothing_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("sql"); // run before the save
    QTest::addColumn<QString>("description");

    QTest::newRow("number 0") << 0 << QString()
                              << "Antalet artiklar måste vara mellan 1 och 32767.";
    QTest::newRow("number past 16 bits")
        << 32768 << QString() << "Antalet artiklar måste vara mellan 1 och 32767.";
    // The group row is the last one written: all the article rows before it must go too.
    QTest::newRow("group row refused") << 3
                                       << "CREATE TRIGGER refuse BEFORE INSERT ON Designations "
                                          "BEGIN SELECT RAISE(ABORT, 'nej'); END"
                                       << "nej";
    QTest::newRow("no type column in Eqv") << 3 << "ALTER TABLE Eqv RENAME COLUMN TYP TO KIND"
                                           << "Fältet TYP saknas i tabellen Eqv.";
}

void TestNewGroup::failureWritesNothing()
{
    QFETCH(int, number);
    QFETCH(QString, sql);
    QFETCH(QString, description);
    if (!sql.isEmpty())
        m_db->exec(sql);
    const qint64 articles = count(*m_db, "Articles");
    const qint64 eqv = count(*m_db, "Eqv");
    const qint64 groups = count(*m_db, "Designations");

    try {
        NewGroup::write(*m_db,
                        request(Kind::Article, "ABCDI", "MS", "Motorskydd", number, Special::None));
        QFAIL("the save did not fail");
    } catch (const AppError &e) {
        QCOMPARE(e.description(), description);
    }

    QCOMPARE(count(*m_db, "Articles"), articles);
    QCOMPARE(count(*m_db, "Eqv"), eqv);
    QCOMPARE(count(*m_db, "Designations"), groups);
}

void TestNewGroup::lockedDatabaseIsRefusedInSwedish()
{
    Database other(m_path, Database::OpenMode::ReadWrite);
    other.exec(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_busy_timeout(m_db->handle(), 0);
    const qint64 articles = count(*m_db, "Articles");

    try {
        NewGroup::write(*m_db,
                        request(Kind::Article, "ABCDI", "MS", "Motorskydd", 3, Special::None));
        QFAIL("the save did not fail");
    } catch (const AppError &e) {
        QCOMPARE(e.description(),
                 QStringLiteral("Databasen är låst av annan användare eller annat program."));
    }
    other.exec(QStringLiteral("ROLLBACK"));
    QCOMPARE(count(*m_db, "Articles"), articles);
}

QTEST_GUILESS_MAIN(TestNewGroup)
#include "tst_newgroup.moc"

// The failure tests stop a write half-way with a trigger, which working databases never run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);
