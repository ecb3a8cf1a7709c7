#include "dialogs/NewGroupDialog.h"

#include "core/Settings.h"
#include "db/Database.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using CatalogueFixture::line;

namespace {

template <class T> T *control(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

qint64 count(Database &db, const char *table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)))
        .toLongLong();
}

// The dialog with its controls at hand.
struct Form
{
    explicit Form(std::unique_ptr<NewGroupDialog> d) : dialog(std::move(d)) {}

    QLineEdit *code() const { return control<QLineEdit>(*dialog, "txtAppCode"); }
    QLineEdit *description() const { return control<QLineEdit>(*dialog, "txtDescription"); }
    QLineEdit *number() const { return control<QLineEdit>(*dialog, "txtNumber"); }
    QSlider *slider() const { return control<QSlider>(*dialog, "Slider1"); }
    QCheckBox *fuse() const { return control<QCheckBox>(*dialog, "chkSpecial0"); }
    QCheckBox *terminal() const { return control<QCheckBox>(*dialog, "chkSpecial1"); }
    QLabel *error() const { return control<QLabel>(*dialog, "lblError"); }
    QPushButton *save() const { return control<QPushButton>(*dialog, "cmdSave"); }
    QString shownError() const { return error()->isVisible() ? error()->text() : QString(); }

    // The three boxes as a user fills them; every change runs the validation.
    void fill(const QString &codeText, const QString &descriptionText, const QString &numberText)
    {
        code()->clear();
        QTest::keyClicks(code(), codeText);
        description()->setText(descriptionText); // keyClicks takes Latin-1 only
        number()->selectAll();
        QTest::keyClicks(number(), numberText);
    }

    std::unique_ptr<NewGroupDialog> dialog;
};

} // namespace

class TestNewGroupDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void freshDialog_data();
    void freshDialog();
    void withoutGroupsThePrefixIsTheDesignedOne();
    void keysOutsideTheFilterAreRefused();
    void typingTheCodeChecksIt();
    void messagesFollowTheInput();
    void numberThatIsNoNumberIsReported();
    void sliderSetsTheNumber();
    void groupKindBoxes();
    void saveWritesTheGroupAndStaysOpen();
    void savesAccessoryGroup();
    void accessoryGroupOutsideThePrefixIsWarnedAbout();
    void failedSaveWritesNothingAndSaysWhy();

private:
    Form open(bool accessoryGroup = false);

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
};

void TestNewGroupDialog::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestNewGroupDialog::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString path = CatalogueFixture::importDatabase(
        m_dir->path(), QStringLiteral("art"),
        {line("ABCDI010", "1", "Överspänningsskydd", "Åkerby"), line("ABCD#123", "1", "TILLB Lock"),
         line("ABCDI999", "", "=ABCDI010")});
    m_db = std::make_unique<Database>(path, Database::OpenMode::ReadWrite);
    m_db->exec(QStringLiteral("UPDATE Eqv SET RAD = 120"));
    m_prompter = ScriptedPrompter();
}

void TestNewGroupDialog::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

Form TestNewGroupDialog::open(bool accessoryGroup)
{
    Form form(std::make_unique<NewGroupDialog>(*m_db, m_prompter, accessoryGroup));
    form.dialog->show();
    return form;
}

void TestNewGroupDialog::freshDialog_data()
{
    QTest::addColumn<bool>("accessoryGroup");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("description");

    QTest::newRow("article") << false << "frmNewArticleGroup"
                             << "Inför ny artikelgrupp"
                             << "ABCDI"
                             << "30"
                             << "";
    QTest::newRow("accessory") << true << "frmNewAccGroup"
                               << "Addera tillbehösgrupp"
                               << "ABCD#"
                               << "10"
                               << "TILLB";
}

void TestNewGroupDialog::freshDialog()
{
    QFETCH(bool, accessoryGroup);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, prefix);
    QFETCH(QString, number);
    QFETCH(QString, description);

    const Form f = open(accessoryGroup);
    NewGroupDialog &dialog = *f.dialog;

    QCOMPARE(dialog.objectName(), name);
    QCOMPARE(dialog.windowTitle(), title);
    QVERIFY(dialog.isModal());
    QCOMPARE(control<QLabel>(dialog, "lblPrefix")->text(), prefix);
    QCOMPARE(f.code()->text(), QString());
    QCOMPARE(f.number()->text(), number);
    QCOMPARE(f.slider()->value(), number.toInt());
    QCOMPARE(f.slider()->maximum(), 200);
    QCOMPARE(f.description()->text(), description);
    QCOMPARE(f.description()->maxLength(), 20); // BENÄMNING of the fixture
    QVERIFY(!f.save()->isEnabled());
    QVERIFY(f.save()->isDefault());
    QCOMPARE(f.save()->text(), QStringLiteral("&Spara"));
    QCOMPARE(control<QPushButton>(dialog, "cmdCancel")->text(), QStringLiteral("St&äng"));
    auto *about = control<QPushButton>(dialog, "cmdAboutBlockNames");
    QCOMPARE(about->text(), QStringLiteral("?"));
    QCOMPARE(about->accessibleName(), QStringLiteral("Om blocknamn"));
    // It explains the block name of the kind of group the dialog makes.
    QVERIFY(m_prompter.shown.isEmpty());
    about->click();
    QVERIFY(m_prompter.lastText().contains(prefix + (accessoryGroup ? "K01" : "MS0")));
    m_prompter.shown.clear();
    // "Spara" is disabled, and the red text says why.
    QCOMPARE(f.shownError(), accessoryGroup ? QStringLiteral("Koden ska ha 3 tecken.")
                                            : QStringLiteral("Koden ska ha 2 tecken."));
    QCOMPARE(f.error()->palette().color(QPalette::WindowText), QColor(Qt::red));
    if (accessoryGroup)
        QVERIFY(!control<QLabel>(dialog, "lblPrefixWarning")->isVisible());
    QCOMPARE(f.dialog->focusWidget(), f.code());

    // Each box can be found by the text beside it.
    QCOMPARE(control<QGroupBox>(dialog, "fraBlockName")->title(),
             QStringLiteral("Blocknamn och typ"));
    QCOMPARE(f.code()->accessibleName(), QStringLiteral("Blocknamn och typ"));
    QCOMPARE(control<QGroupBox>(dialog, "fraDescription")->title(), QStringLiteral("Benämning"));
    QCOMPARE(f.description()->accessibleName(), QStringLiteral("Benämning"));
    QLabel *numberLabel = control<QLabel>(dialog, "Label2");
    QCOMPARE(numberLabel->text(), QStringLiteral("Antal:"));
    QCOMPARE(numberLabel->buddy(), f.number());

    const bool article = !accessoryGroup;
    QCOMPARE(dialog.findChild<QCheckBox *>("chkSpecial0") != nullptr, article);
    QCOMPARE(dialog.findChild<QCheckBox *>("chkSpecial1") != nullptr, article);
    QCOMPARE(dialog.findChild<QLabel *>("lblSuffix") != nullptr, article);
    if (article) {
        QCOMPARE(control<QLabel>(dialog, "lblSuffix")->text(), QStringLiteral("0"));
        QCOMPARE(f.fuse()->text(), QStringLiteral("Säkring"));
        QCOMPARE(f.fuse()->toolTip(),
                 QStringLiteral("'Säkring' innebär att artiklarna summeras i apparatlistor och "
                                "specificeras i listor av typ 'SÄKRINGSLISTA'"));
        QCOMPARE(f.terminal()->text(), QStringLiteral("Plint"));
        QCOMPARE(f.terminal()->toolTip(),
                 QStringLiteral("'Plint' innebär att artiklarna summeras i apparatlistor och "
                                "specificeras i listor av typ 'PLINTLISTA'"));
    }
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestNewGroupDialog::withoutGroupsThePrefixIsTheDesignedOne()
{
    m_db->exec(QStringLiteral("DELETE FROM Designations"));
    QCOMPARE(control<QLabel>(*open(false).dialog, "lblPrefix")->text(), QStringLiteral("VMKBI"));
    QCOMPARE(control<QLabel>(*open(true).dialog, "lblPrefix")->text(), QStringLiteral("VMKB#"));
}

void TestNewGroupDialog::keysOutsideTheFilterAreRefused()
{
    {
        const Form f = open(false);
        QTest::keyClicks(f.code(), "m-#s");
        QCOMPARE(f.code()->text(), QStringLiteral("ms"));
        QTest::keyClick(f.code(), Qt::Key_Backspace);
        QCOMPARE(f.code()->text(), QStringLiteral("m"));
        f.number()->clear();
        QTest::keyClicks(f.number(), "1a#2:");
        QCOMPARE(f.number()->text(), QStringLiteral("12:"));
    }
    {
        const Form f = open(true);
        QTest::keyClicks(f.code(), "k-0 1");
        QCOMPARE(f.code()->text(), QStringLiteral("k01"));
        f.number()->clear();
        QTest::keyClicks(f.number(), "x4");
        QCOMPARE(f.number()->text(), QStringLiteral("4"));
    }
}

void TestNewGroupDialog::typingTheCodeChecksIt()
{
    const Form f = open(false);
    QTest::keyClicks(f.description(), "Motorskydd");

    QTest::keyClicks(f.code(), "0");
    QCOMPARE(f.shownError(), QStringLiteral("Koden ska ha 2 tecken."));
    QVERIFY(!f.save()->isEnabled());

    QTest::keyClicks(f.code(), "1");
    QCOMPARE(f.shownError(), QStringLiteral("Block-kod används redan."));
    QVERIFY(!f.save()->isEnabled());

    // The accessory group ABCD#123 takes "12" too, and case does not matter.
    f.code()->clear();
    QTest::keyClicks(f.code(), "x1");
    QCOMPARE(f.shownError(), QString());
    QVERIFY(f.save()->isEnabled());
    QTest::keyClick(f.code(), Qt::Key_Backspace);
    QVERIFY(!f.save()->isEnabled());
    QCOMPARE(f.shownError(), QStringLiteral("Koden ska ha 2 tecken."));

    const Form accessory = open(true);
    QTest::keyClicks(accessory.code(), "123");
    QCOMPARE(accessory.shownError(), QStringLiteral("Tillbehörsgrupp används redan."));
}

void TestNewGroupDialog::messagesFollowTheInput()
{
    Form f = open(false);

    f.fill("MS", "M", "3");
    QCOMPARE(f.shownError(), QStringLiteral("Benämning saknas eller är för kort."));
    QVERIFY(!f.save()->isEnabled());

    f.fill("MS", "Motorskydd", "0");
    QCOMPARE(f.shownError(), QStringLiteral("Ange antal > 0."));
    QVERIFY(!f.save()->isEnabled());

    f.number()->clear();
    QCOMPARE(f.shownError(), QStringLiteral("Ange antal > 0."));

    // No group kind clicked yet, so the box takes any length.
    QTest::keyClicks(f.number(), "40000");
    QCOMPARE(f.shownError(), QStringLiteral("Antalet får vara högst 32767."));
    QVERIFY(!f.save()->isEnabled());

    f.fill("MS", "Motorskydd", "3");
    QCOMPARE(f.shownError(), QString());
    QVERIFY(f.save()->isEnabled());
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestNewGroupDialog::numberThatIsNoNumberIsReported()
{
    Form f = open(false);
    f.fill("MS", "Motorskydd", "3");
    QVERIFY(f.save()->isEnabled());

    QTest::keyClicks(f.number(), ":");
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("13 - Antalet är inget heltal.")});
    QVERIFY(f.save()->isEnabled());

    // Saving it anyway writes nothing.
    const qint64 articles = count(*m_db, "Articles");
    QTest::mouseClick(f.save(), Qt::LeftButton);
    QCOMPARE(m_prompter.lastText(), QStringLiteral("frmNewArticleGroup:cmdSave_Click::ERROR:13 - "
                                                   "Antalet är inget heltal."));
    QCOMPARE(count(*m_db, "Articles"), articles);
    QVERIFY(!f.dialog->anyGroupAdded());
}

void TestNewGroupDialog::sliderSetsTheNumber()
{
    const Form f = open(false);
    f.slider()->setValue(45);
    QCOMPARE(f.number()->text(), QStringLiteral("45"));
    // Typing does not move the slider.
    QTest::keyClicks(f.number(), "7");
    QCOMPARE(f.slider()->value(), 45);
}

void TestNewGroupDialog::groupKindBoxes()
{
    const Form f = open(false);
    f.number()->setText(QStringLiteral("120"));

    f.fuse()->click();
    QVERIFY(f.fuse()->isChecked());
    QCOMPARE(f.number()->text(), QStringLiteral("20"));
    QCOMPARE(f.number()->maxLength(), 2);
    QCOMPARE(f.slider()->maximum(), 99);

    f.terminal()->click();
    QVERIFY(f.terminal()->isChecked());
    QVERIFY(!f.fuse()->isChecked());
    QCOMPARE(f.number()->maxLength(), 2);

    f.terminal()->click();
    QVERIFY(!f.terminal()->isChecked());
    QCOMPARE(f.number()->text(), QStringLiteral("20"));
    QCOMPARE(f.number()->maxLength(), 3);
    QCOMPARE(f.slider()->maximum(), 200);

    // A slider beyond 99 when a kind is ticked does not overwrite the cut number.
    f.slider()->setValue(150);
    f.fuse()->click();
    QCOMPARE(f.number()->text(), QStringLiteral("50"));
}

void TestNewGroupDialog::saveWritesTheGroupAndStaysOpen()
{
    Form f = open(false);
    QSignalSpy added(f.dialog.get(), &NewGroupDialog::groupAdded);
    f.fuse()->click();
    f.fill("ms", "Motorskydd", "3");
    const qint64 articles = count(*m_db, "Articles");

    QTest::keyClick(f.code(), Qt::Key_Return);

    QCOMPARE(added.size(), 1);
    QCOMPARE(added.at(0).at(0).toString(), QStringLiteral("ABCDIMS0"));
    QVERIFY(f.dialog->anyGroupAdded());
    QCOMPARE(count(*m_db, "Articles"), articles + 4);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(TYP, ',') FROM (SELECT TYP FROM "
                                         "Articles WHERE BL_NAME = 'ABCDIMS0' ORDER BY RAD)"))
                 .toString(),
             QStringLiteral("F-,F1,F2,F3"));
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT RAD FROM Eqv WHERE BL_NAME = 'ABCD*MS*'")).toLongLong(),
        125);
    QCOMPARE(m_prompter.shown.size(), 1);
    QCOMPARE(m_prompter.shown.at(0).icon, MessageIcon::Information);
    QCOMPARE(m_prompter.shown.at(0).title, QStringLiteral("Lägg till"));
    QCOMPARE(m_prompter.shown.at(0).text, QStringLiteral("Artikelgrupp 'Motorskydd' adderad."));

    QVERIFY(f.dialog->isVisible());
    QVERIFY(!f.save()->isEnabled());
    QCOMPARE(f.code()->text(), QStringLiteral("ms"));
    QCOMPARE(f.description()->text(), QStringLiteral("Motorskydd"));
    QCOMPARE(f.dialog->focusWidget(), f.code());

    // The code is taken now.
    QTest::keyClick(f.code(), Qt::Key_Backspace);
    QTest::keyClicks(f.code(), "S");
    QCOMPARE(f.shownError(), QStringLiteral("Block-kod används redan."));
    QTest::keyClick(f.code(), Qt::Key_Return);
    QCOMPARE(added.size(), 1);

    // The next group follows the first.
    f.fill("MT", "Motorskydd 2", "1");
    QTest::mouseClick(f.save(), Qt::LeftButton);
    QCOMPARE(added.size(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT MIN(RAD) FROM Articles WHERE BL_NAME = "
                                         "'ABCDIMT0'"))
                 .toLongLong(),
             126);
}

void TestNewGroupDialog::savesAccessoryGroup()
{
    Form f = open(true);
    f.fill("45#", "TILLB Kåpa", "10");
    const qint64 eqv = count(*m_db, "Eqv");

    QTest::mouseClick(f.save(), Qt::LeftButton);

    QVERIFY(f.dialog->anyGroupAdded());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Articles WHERE BL_NAME = "
                                         "'ABCD#45#'"))
                 .toLongLong(),
             11);
    QCOMPARE(count(*m_db, "Eqv"), eqv);
    QCOMPARE(m_prompter.lastText(), QStringLiteral("Tillbehörsgruppgrupp 'TILLB Kåpa' adderad."));
}

void TestNewGroupDialog::accessoryGroupOutsideThePrefixIsWarnedAbout()
{
    // Named as the catalogues name them, with a letter; the picker would not list it.
    Form f = open(true);
    auto *warning = control<QLabel>(*f.dialog, "lblPrefixWarning");
    f.fill("k01", "Kontaktorer", "3");
    QVERIFY(f.save()->isEnabled());
    QCOMPARE(f.shownError(), QString());
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(), QStringLiteral("Benämningen börjar inte med tillbehörsprefixet "
                                             "'TILLB', så gruppen visas inte i listan över "
                                             "tillbehörsgrupper."));

    f.description()->setText(QStringLiteral("Tillb Kontaktorer"));
    QVERIFY(!warning->isVisible());

    // Another prefix in the Options dialog is the one that counts.
    Settings::save(Settings::TbhPrefix, QStringLiteral("Tbh"));
    Form other = open(true);
    other.fill("K02", "TILLB Kontaktorer", "3");
    QVERIFY(control<QLabel>(*other.dialog, "lblPrefixWarning")->isVisible());
    other.description()->setText(QStringLiteral("tbh kåpor"));
    QVERIFY(!control<QLabel>(*other.dialog, "lblPrefixWarning")->isVisible());

    f.description()->setText(QStringLiteral("TILLB Kontaktorer"));
    QTest::mouseClick(f.save(), Qt::LeftButton);
    QVERIFY(f.dialog->anyGroupAdded());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Articles WHERE BL_NAME = "
                                         "'ABCD#K01'"))
                 .toLongLong(),
             4);
}

void TestNewGroupDialog::failedSaveWritesNothingAndSaysWhy()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Designations "
                              "BEGIN SELECT RAISE(ABORT, 'nej'); END"));
    Form f = open(false);
    QSignalSpy added(f.dialog.get(), &NewGroupDialog::groupAdded);
    f.fill("MS", "Motorskydd", "3");
    const qint64 articles = count(*m_db, "Articles");
    const qint64 eqv = count(*m_db, "Eqv");

    QTest::mouseClick(f.save(), Qt::LeftButton);

    QVERIFY(m_prompter.lastText().startsWith(
        QStringLiteral("frmNewArticleGroup:cmdSave_Click::ERROR:")));
    QVERIFY(m_prompter.lastText().endsWith(QStringLiteral(" - nej")));
    QCOMPARE(count(*m_db, "Articles"), articles);
    QCOMPARE(count(*m_db, "Eqv"), eqv);
    QCOMPARE(added.size(), 0);
    QVERIFY(!f.dialog->anyGroupAdded());
    QVERIFY(f.dialog->isVisible());
}

QTEST_MAIN(TestNewGroupDialog)
#include "tst_newgroupdialog.moc"

// The failure tests stop a write half-way with a trigger, which working databases never run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);
