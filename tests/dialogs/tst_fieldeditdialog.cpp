#include "dialogs/FieldEditDialog.h"

#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// These tests force a failure half-way through a write with a trigger; the program itself
// never lets a database's triggers run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);

using CatalogueFixture::line;

namespace {

const QString kShorteningQuestion =
    QStringLiteral("Data kan förloras! Är du säker, att du vill minska fältlängd?\n"
                   "Bekräfta minskning av fältlängd.");

template <class T> T *control(const QWidget &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

int declaredSize(Database &db, const QString &table, const QString &column)
{
    for (const ColumnInfo &info : db.columns(table)) {
        if (info.name == column)
            return info.size;
    }
    return -1;
}

} // namespace

class TestFieldEditDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheColumn();
    void lengthBoxTakesDigitsUpTo255_data();
    void lengthBoxTakesDigitsUpTo255();
    void carryingOut_data();
    void carryingOut();
    void cancelChangesNothing();
    void failureIsReportedAndCloses();

private:
    // Opens the dialog on BENÄMNING (20 characters) and shows it.
    std::unique_ptr<FieldEditDialog> open();

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
};

void TestFieldEditDialog::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestFieldEditDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ScriptedPrompter importPrompter;
    NullProgress progress;
    const ImportResult result =
        TdsImport(importPrompter, progress)
            .run(CatalogueFixture::write(m_dir->path(), QStringLiteral("art"),
                                         {line("ABCDI010", "1", "Överspänningsskydd 2", "Åkerby"),
                                          line("ABCDI999", "", "=ABCDI010")}));
    if (!result.ok)
        qFatal("import failed: %s", qPrintable(importPrompter.texts().join('\n')));
    m_db = std::make_unique<Database>(result.dbPath, Database::OpenMode::ReadWrite);
    m_prompter = ScriptedPrompter();
}

void TestFieldEditDialog::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<FieldEditDialog> TestFieldEditDialog::open()
{
    auto dialog =
        std::make_unique<FieldEditDialog>(*m_db, m_prompter, QStringLiteral("BENÄMNING"),
                                          QStringLiteral("20"), QStringLiteral("Benämning"));
    dialog->show();
    return dialog;
}

void TestFieldEditDialog::showsTheColumn()
{
    const auto dialog = open();

    QCOMPARE(dialog->objectName(), QStringLiteral("frmFieldEdit"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Fältredigering"));
    QCOMPARE(control<QLabel>(*dialog, "lblName")->text(), QStringLiteral("Fältnamn"));
    QCOMPARE(control<QLabel>(*dialog, "lblAlias")->text(), QStringLiteral("Alias"));
    QCOMPARE(control<QLabel>(*dialog, "lbLength")->text(), QStringLiteral("Fältlängd"));
    QCOMPARE(control<QGroupBox>(*dialog, "fraWarning")->title(), QStringLiteral("Tänk på..."));
    QCOMPARE(control<QLabel>(*dialog, "lblWarning")->text(),
             QStringLiteral("Modifieringar av fältlängder kräver att schablonfilen VMK94.txt "
                            "eller motsvarande anpassas till de nya fältlängderna för att man ska "
                            "tillgodogöra sig dem. Omfattande fältlängdsökningar kan få VOLTMARK "
                            "att sluta fungera. Minskning av fältlängder kan medföra att data "
                            "förstörs."));
    QVERIFY(!control<QLabel>(*dialog, "picExclamation")->pixmap().isNull());
    QCOMPARE(control<QPushButton>(*dialog, "cmdSave")->text(), QStringLiteral("Ut&för"));
    QCOMPARE(control<QPushButton>(*dialog, "cmdCancel")->text(), QStringLiteral("A&vbryt"));

    // The name decides which column changes, so it cannot be edited; the alias is information.
    QLineEdit *name = control<QLineEdit>(*dialog, "txtName");
    QLineEdit *alias = control<QLineEdit>(*dialog, "txtAlias");
    QCOMPARE(name->text(), QStringLiteral("BENÄMNING"));
    QVERIFY(name->isReadOnly());
    QCOMPARE(alias->text(), QStringLiteral("Benämning"));
    QVERIFY(alias->isReadOnly());
    QCOMPARE(control<QLineEdit>(*dialog, "txtLength")->text(), QStringLiteral("20"));
}

void TestFieldEditDialog::lengthBoxTakesDigitsUpTo255_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("4") << "4"
                       << "4";
    QTest::newRow("5") << "5"
                       << "5";
    QTest::newRow("255") << "255"
                         << "255";
    QTest::newRow("256: the 6 is refused") << "256"
                                           << "25";
    QTest::newRow("2550: the fourth digit is refused") << "2550"
                                                       << "255";
    QTest::newRow("999: the last 9 is refused") << "999"
                                                << "99";
    QTest::newRow("letters are filtered") << "a1b2c"
                                          << "12";
    QTest::newRow("sign and blank are filtered") << "- 40"
                                                 << "40";
}

void TestFieldEditDialog::lengthBoxTakesDigitsUpTo255()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    const auto dialog = open();
    QLineEdit *length = control<QLineEdit>(*dialog, "txtLength");
    length->clear();
    QTest::keyClicks(length, typed);

    QCOMPARE(length->text(), shown);
}

void TestFieldEditDialog::carryingOut_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("sizeAfter");

    const QString tooShort = QStringLiteral("Stränglängd kan inte vara mindre än 5 tecken");
    QTest::newRow("4") << "4" << false << QStringList{tooShort} << false << 20;
    QTest::newRow("empty") << "" << false << QStringList{tooShort} << false << 20;
    QTest::newRow("letters only") << "abc" << false << QStringList{tooShort} << false << 20;
    QTest::newRow("5, Yes") << "5" << true << QStringList{kShorteningQuestion} << true << 5;
    QTest::newRow("5, No") << "5" << false << QStringList{kShorteningQuestion} << false << 20;
    QTest::newRow("255") << "255" << false << QStringList{} << true << 255;
    QTest::newRow("256 typed gives 25") << "256" << false << QStringList{} << true << 25;
}

void TestFieldEditDialog::carryingOut()
{
    QFETCH(QString, typed);
    QFETCH(bool, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, closed);
    QFETCH(int, sizeAfter);

    m_prompter.answers << answer;
    const auto dialog = open();
    QLineEdit *length = control<QLineEdit>(*dialog, "txtLength");
    length->clear();
    QTest::keyClicks(length, typed);
    control<QPushButton>(*dialog, "cmdSave")->click();

    QCOMPARE(m_prompter.texts(), messages);
    QVERIFY(!QApplication::overrideCursor());
    for (const ScriptedPrompter::Shown &shown : m_prompter.shown)
        QCOMPARE(shown.icon, MessageIcon::Error);
    QCOMPARE(dialog->isVisible(), !closed);
    if (closed)
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    for (const QString &table : {QStringLiteral("Articles"), QStringLiteral("Eqv")})
        QCOMPARE(declaredSize(*m_db, table, QStringLiteral("BENÄMNING")), sizeAfter);
    const QString value = m_db->scalar(QStringLiteral("SELECT BENÄMNING FROM Articles")).toString();
    QCOMPARE(value, QStringLiteral("Överspänningsskydd 2").left(sizeAfter));
}

void TestFieldEditDialog::cancelChangesNothing()
{
    const auto dialog = open();
    QTest::keyClicks(control<QLineEdit>(*dialog, "txtLength"), "0");
    control<QPushButton>(*dialog, "cmdCancel")->click();

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(declaredSize(*m_db, QStringLiteral("Articles"), QStringLiteral("BENÄMNING")), 20);
}

void TestFieldEditDialog::failureIsReportedAndCloses()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON Eqv BEGIN SELECT "
                              "RAISE(ABORT, 'Eqv är låst'); END"));
    m_prompter.answers << true;
    const auto dialog = open();
    QLineEdit *length = control<QLineEdit>(*dialog, "txtLength");
    length->clear();
    QTest::keyClicks(length, "5");
    control<QPushButton>(*dialog, "cmdSave")->click();

    QCOMPARE(m_prompter.texts(), (QStringList{kShorteningQuestion, "19: Eqv är låst"}));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(declaredSize(*m_db, QStringLiteral("Articles"), QStringLiteral("BENÄMNING")), 20);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT BENÄMNING FROM Articles")).toString(),
             QStringLiteral("Överspänningsskydd 2"));
}

QTEST_MAIN(TestFieldEditDialog)
#include "tst_fieldeditdialog.moc"
