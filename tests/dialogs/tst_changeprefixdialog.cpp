#include "dialogs/ChangePrefixDialog.h"

#include "db/Database.h"
#include "edit/PrefixChange.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using CatalogueFixture::line;

namespace {

template <class T> T *control(const QWidget &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

} // namespace

class TestChangePrefixDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheLibrary();
    void typing_data();
    void typing();
    void applying_data();
    void applying();
    void cancelChangesNothing();
    void failureIsReportedAndStaysOpen();
    void withoutGroupsNothingApplies();

private:
    std::unique_ptr<ChangePrefixDialog> open();
    QString blockNames();

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
};

void TestChangePrefixDialog::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestChangePrefixDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString path = CatalogueFixture::importDatabase(m_dir->path(), QStringLiteral("art"),
                                                          {line("ABCDI010", "1", "Kontaktor"),
                                                           line("ABCDI020", "2", "Relä"),
                                                           line("ABCDI999", "", "=ABCDI010")});
    m_db = std::make_unique<Database>(path, Database::OpenMode::ReadWrite);
    m_prompter = ScriptedPrompter();
}

void TestChangePrefixDialog::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<ChangePrefixDialog> TestChangePrefixDialog::open()
{
    auto dialog = std::make_unique<ChangePrefixDialog>(*m_db, m_prompter);
    dialog->show();
    return dialog;
}

// Block names of all three tables, in one text.
QString TestChangePrefixDialog::blockNames()
{
    return m_db
        ->scalar(QStringLiteral("SELECT group_concat(BL_NAME, ' ') FROM (SELECT BL_NAME FROM "
                                "Articles UNION ALL SELECT BL_NAME FROM Designations UNION ALL "
                                "SELECT BL_NAME FROM Eqv UNION ALL SELECT \"BENÄMNING\" FROM Eqv)"))
        .toString();
}

void TestChangePrefixDialog::showsTheLibrary()
{
    const auto dialog = open();

    QCOMPARE(dialog->objectName(), QStringLiteral("frmChangePrefix"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Ändra bibliotek (Blockprefix)"));
    QVERIFY(dialog->isModal());
    QLineEdit *oldPrefix = control<QLineEdit>(*dialog, "txtOldPrefix");
    QLineEdit *newPrefix = control<QLineEdit>(*dialog, "txtNewPrefix");
    QCOMPARE(oldPrefix->text(), QStringLiteral("ABCD"));
    QVERIFY(oldPrefix->isReadOnly());
    QCOMPARE(newPrefix->text(), QString());
    QVERIFY(!newPrefix->isReadOnly());
    QCOMPARE(dialog->focusWidget(), newPrefix);

    // The labels name their boxes for screen readers.
    QLabel *oldLabel = control<QLabel>(*dialog, "lblOldPrefix");
    QLabel *newLabel = control<QLabel>(*dialog, "lblNewPrefix");
    QCOMPARE(oldLabel->text(), QStringLiteral("Nuvarande bibliotek"));
    QCOMPARE(oldLabel->buddy(), oldPrefix);
    QCOMPARE(newLabel->text(), QStringLiteral("Nytt bibliotek"));
    QCOMPARE(newLabel->buddy(), newPrefix);

    QPushButton *apply = control<QPushButton>(*dialog, "cmdApply");
    QCOMPARE(apply->text(), QStringLiteral("&Utför"));
    QVERIFY(!apply->isEnabled());
    QCOMPARE(control<QPushButton>(*dialog, "cmdAvbryt")->text(), QStringLiteral("A&vbryt"));
}

void TestChangePrefixDialog::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");

    // clang-format off
    QTest::newRow("new library") << "efgh" << "EFGH" << true;
    QTest::newRow("same library in lower case") << "abcd" << "ABCD" << false;
    QTest::newRow("digits, blanks, full stops filtered") << "e1f g.h" << "EFGH" << true;
    QTest::newRow("hyphen, at sign, underscore") << "-@_x" << "-@_X" << true;
    QTest::newRow("three characters") << "efg" << "efg" << false;
    QTest::newRow("five characters") << "efghi" << "EFGHi" << false;
    // clang-format on
}

void TestChangePrefixDialog::typing()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);

    const auto dialog = open();
    QLineEdit *newPrefix = control<QLineEdit>(*dialog, "txtNewPrefix");
    QTest::keyClicks(newPrefix, typed);

    QCOMPARE(newPrefix->text(), shown);
    QCOMPARE(control<QPushButton>(*dialog, "cmdApply")->isEnabled(), enabled);
    QCOMPARE(control<QLineEdit>(*dialog, "txtOldPrefix")->text(), QStringLiteral("ABCD"));
}

void TestChangePrefixDialog::applying_data()
{
    QTest::addColumn<bool>("byReturnKey");
    QTest::newRow("button") << false;
    QTest::newRow("Return key") << true;
}

void TestChangePrefixDialog::applying()
{
    QFETCH(bool, byReturnKey);

    const auto dialog = open();
    QSignalSpy changed(dialog.get(), &ChangePrefixDialog::prefixChanged);
    QLineEdit *newPrefix = control<QLineEdit>(*dialog, "txtNewPrefix");
    QTest::keyClicks(newPrefix, "efgh");
    if (byReturnKey)
        QTest::keyClick(newPrefix, Qt::Key_Return);
    else
        control<QPushButton>(*dialog, "cmdApply")->click();

    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first(), (QVariantList{QStringLiteral("ABCD"), QStringLiteral("EFGH")}));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(blockNames(),
             QStringLiteral("EFGHI010 EFGHI020 EFGHI010 EFGHI020 EFGHI999 =EFGHI010"));
}

void TestChangePrefixDialog::cancelChangesNothing()
{
    const QString before = blockNames();
    const auto dialog = open();
    QSignalSpy changed(dialog.get(), &ChangePrefixDialog::prefixChanged);
    QTest::keyClicks(control<QLineEdit>(*dialog, "txtNewPrefix"), "efgh");
    control<QPushButton>(*dialog, "cmdAvbryt")->click();

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(blockNames(), before);
}

void TestChangePrefixDialog::failureIsReportedAndStaysOpen()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON Eqv BEGIN SELECT "
                              "RAISE(ABORT, 'Eqv är låst'); END"));
    const QString before = blockNames();
    const auto dialog = open();
    QSignalSpy changed(dialog.get(), &ChangePrefixDialog::prefixChanged);
    QTest::keyClicks(control<QLineEdit>(*dialog, "txtNewPrefix"), "efgh");
    control<QPushButton>(*dialog, "cmdApply")->click();

    QCOMPARE(m_prompter.texts(),
             QStringList{QStringLiteral("frmChangePrefix:cmdApply::ERROR:19 - Eqv är låst\n\n"
                                        "Biblioteket har inte bytts, databasen är oförändrad.")});
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(dialog->isVisible());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(blockNames(), before);
}

void TestChangePrefixDialog::withoutGroupsNothingApplies()
{
    m_db->exec(QStringLiteral("DELETE FROM Designations"));
    const auto dialog = open();
    QTest::keyClicks(control<QLineEdit>(*dialog, "txtNewPrefix"), "efgh");

    QCOMPARE(control<QLineEdit>(*dialog, "txtOldPrefix")->text(), QString());
    QVERIFY(!control<QPushButton>(*dialog, "cmdApply")->isEnabled());
    QCOMPARE(m_prompter.texts(), QStringList());
}

QTEST_MAIN(TestChangePrefixDialog)
#include "tst_changeprefixdialog.moc"

// The failure tests stop a write half-way with a trigger, which working databases never run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);
