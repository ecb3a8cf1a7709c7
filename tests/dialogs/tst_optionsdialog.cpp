#include "dialogs/OptionsDialog.h"

#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Records what the dialog announces to the main window, in order.
struct Fixture
{
    Fixture()
    {
        QObject::connect(&dialog, &OptionsDialog::treeColourChosen, [this](std::uint32_t colour) {
            calls << QStringLiteral("tree %1").arg(colour);
        });
        QObject::connect(&dialog, &OptionsDialog::gridColourChosen, [this](std::uint32_t colour) {
            calls << QStringLiteral("grid %1").arg(colour);
        });
        QObject::connect(&dialog, &OptionsDialog::fontSizeChosen,
                         [this](int points) { calls << QStringLiteral("font %1").arg(points); });
        QObject::connect(&dialog, &OptionsDialog::accessoryPrefixChosen,
                         [this](const QString &prefix) { calls << "prefix " + prefix; });
    }

    ScriptedPrompter prompter;
    OptionsDialog dialog{prompter};
    QStringList calls;
};

const QString kOptions = QStringLiteral("Options");

QSettings userStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("BRAX"),
                     QStringLiteral("Ravelund"));
}

QStringList storedOptionNames()
{
    QSettings store = userStore();
    store.beginGroup(kOptions);
    QStringList names = store.childKeys();
    names.sort();
    return names;
}

QString stored(const QString &name)
{
    const QString value = TestFiles::storedSetting(name, kOptions);
    return value.isEmpty() ? QStringLiteral("<none>") : value;
}

void storeIfGiven(const QString &name, const QString &value)
{
    if (!value.isEmpty())
        TestFiles::storeSetting(name, value, kOptions);
}

template <class T> T *control(const QWidget &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

// The size whose button is checked, 0 when none is.
int checkedTextHeight(const QWidget &dialog)
{
    int checked = 0;
    for (int points = 6; points <= 12; ++points) {
        if (control<QRadioButton>(dialog, QStringLiteral("optTextHeight%1").arg(points))
                ->isChecked()) {
            if (checked != 0)
                qFatal("two text heights checked");
            checked = points;
        }
    }
    return checked;
}

// What the user sees: the colour painted in the middle of the button.
std::uint32_t shownColour(const QWidget &dialog, const QString &buttonName)
{
    QPushButton *button = control<QPushButton>(dialog, buttonName);
    const QImage image = button->grab().toImage();
    return colourValue(image.pixelColor(image.rect().center()));
}

void click(const QWidget &dialog, const QString &buttonName)
{
    // click(), not a mouse click at the centre: a check box stretched across the dialog
    // has empty space there.
    control<QAbstractButton>(dialog, buttonName)->click();
}

// QTest::keyClicks only takes Latin-1; this types any character as its own key press.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void runAction(OptionsDialog &dialog, const QString &action)
{
    if (action == QLatin1String("close"))
        dialog.close();
    else if (action == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        click(dialog, action);
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void freshUserSeesDialogDefaults();
    void applyWithoutChangesStoresDialogDefaults();
    void applyStoresEditedControls();
    void storedValuesAreShown_data();
    void storedValuesAreShown();
    void fontSizeAppliedOnlyWhenASizeIsChecked_data();
    void fontSizeAppliedOnlyWhenASizeIsChecked();
    void colourButtons_data();
    void colourButtons();
    void saveAppliesAndCloses_data();
    void saveAppliesAndCloses();
    void cancelStoresNothing();
    void closingStoresPlacementWhileSaveWinPropIsOn_data();
    void closingStoresPlacementWhileSaveWinPropIsOn();
    void prefixRefusesCharactersOutsideCp1252_data();
    void prefixRefusesCharactersOutsideCp1252();

private:
    QTemporaryDir m_dir;
};

void TestOptionsDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
}

void TestOptionsDialog::init()
{
    userStore().clear();
}

void TestOptionsDialog::freshUserSeesDialogDefaults()
{
    Fixture f;
    f.dialog.show();

    QCOMPARE(f.dialog.objectName(), QStringLiteral("frmOptions"));
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Alternativ"));
    QVERIFY(!control<QCheckBox>(f.dialog, "chkAutoOpenMostRecentFile")->isChecked());
    QVERIFY(control<QCheckBox>(f.dialog, "chkSaveWinProp")->isChecked());
    // Not the main window's white: the dialog has defaults of its own.
    QCOMPARE(shownColour(f.dialog, "cmdTreeColor"), 15524823u);
    QCOMPARE(shownColour(f.dialog, "cmdGridColor"), 14745341u);
    QCOMPARE(checkedTextHeight(f.dialog), 8);
    QCOMPARE(control<QLineEdit>(f.dialog, "txtTbhPrefix")->text(), QStringLiteral("TILLB"));
    // The default size is also the minimum; a larger font may make the layout need more.
    QVERIFY(f.dialog.width() >= Twips::toPixels(6240));
    QVERIFY(f.dialog.height() >= Twips::toPixels(4410));
}

void TestOptionsDialog::applyWithoutChangesStoresDialogDefaults()
{
    Fixture f;
    f.dialog.show();

    click(f.dialog, "cmdApply");

    QCOMPARE(stored("AutoOpen"), QStringLiteral("0"));
    QCOMPARE(stored("SaveWinProp"), QStringLiteral("1"));
    QCOMPARE(stored("TreeColor"), QStringLiteral("15524823"));
    QCOMPARE(stored("GridColor"), QStringLiteral("14745341"));
    QCOMPARE(stored("FontSize"), QStringLiteral("8"));
    QCOMPARE(stored("TbhPrefix"), QStringLiteral("TILLB"));
    QCOMPARE(f.calls, (QStringList{"tree 15524823", "grid 14745341", "font 8", "prefix TILLB"}));
    QVERIFY(f.dialog.isVisible());
}

void TestOptionsDialog::applyStoresEditedControls()
{
    Fixture f;
    f.dialog.show();
    click(f.dialog, "chkAutoOpenMostRecentFile");
    click(f.dialog, "chkSaveWinProp");
    click(f.dialog, "optTextHeight11");
    auto *prefix = control<QLineEdit>(f.dialog, "txtTbhPrefix");
    prefix->clear();
    typeText(prefix, QStringLiteral("Tbh ÅÄÖ"));

    click(f.dialog, "cmdApply");

    QCOMPARE(stored("AutoOpen"), QStringLiteral("1"));
    QCOMPARE(stored("SaveWinProp"), QStringLiteral("0"));
    QCOMPARE(stored("FontSize"), QStringLiteral("11"));
    QCOMPARE(stored("TbhPrefix"), QStringLiteral("Tbh ÅÄÖ"));
    QCOMPARE(f.calls, (QStringList{"tree 15524823", "grid 14745341", "font 11", "prefix Tbh ÅÄÖ"}));

    // Applying again after switching back stores the other state, not a remembered one.
    click(f.dialog, "chkAutoOpenMostRecentFile");
    click(f.dialog, "chkSaveWinProp");
    click(f.dialog, "cmdApply");
    QCOMPARE(stored("AutoOpen"), QStringLiteral("0"));
    QCOMPARE(stored("SaveWinProp"), QStringLiteral("1"));
}

void TestOptionsDialog::storedValuesAreShown_data()
{
    // Empty stored text: nothing stored.
    QTest::addColumn<QString>("autoOpen");
    QTest::addColumn<QString>("saveWinProp");
    QTest::addColumn<QString>("treeColor");
    QTest::addColumn<QString>("gridColor");
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<QString>("tbhPrefix");
    QTest::addColumn<bool>("autoOpenChecked");
    QTest::addColumn<bool>("saveWinPropChecked");
    QTest::addColumn<uint>("treeShown");
    QTest::addColumn<uint>("gridShown");
    QTest::addColumn<int>("sizeChecked");
    QTest::addColumn<QString>("prefixShown");

    // clang-format off
    QTest::newRow("all stored") << "1" << "0" << "255" << "16711680" << "12" << "TBH" << true
                                << false << 255u << 16711680u << 12 << "TBH";
    QTest::newRow("smallest size, white and black")
        << "0" << "1" << "16777215" << "0" << "6" << "Åäö" << false << true << 16777215u << 0u
        << 6 << "Åäö";
    QTest::newRow("size 5 has no button") << "" << "" << "" << "" << "5" << "" << false << true
                                          << 15524823u << 14745341u << 0 << "TILLB";
    QTest::newRow("size 13 has no button") << "" << "" << "" << "" << "13" << "" << false << true
                                           << 15524823u << 14745341u << 0 << "TILLB";
    QTest::newRow("only 1 means on") << "yes" << "2" << "" << "" << "" << "" << false << false
                                     << 15524823u << 14745341u << 8 << "TILLB";
    // clang-format on
}

void TestOptionsDialog::storedValuesAreShown()
{
    QFETCH(QString, autoOpen);
    QFETCH(QString, saveWinProp);
    QFETCH(QString, treeColor);
    QFETCH(QString, gridColor);
    QFETCH(QString, fontSize);
    QFETCH(QString, tbhPrefix);
    storeIfGiven("AutoOpen", autoOpen);
    storeIfGiven("SaveWinProp", saveWinProp);
    storeIfGiven("TreeColor", treeColor);
    storeIfGiven("GridColor", gridColor);
    storeIfGiven("FontSize", fontSize);
    storeIfGiven("TbhPrefix", tbhPrefix);

    Fixture f;
    f.dialog.show();

    QTEST(control<QCheckBox>(f.dialog, "chkAutoOpenMostRecentFile")->isChecked(),
          "autoOpenChecked");
    QTEST(control<QCheckBox>(f.dialog, "chkSaveWinProp")->isChecked(), "saveWinPropChecked");
    QTEST(uint(shownColour(f.dialog, "cmdTreeColor")), "treeShown");
    QTEST(uint(shownColour(f.dialog, "cmdGridColor")), "gridShown");
    QTEST(checkedTextHeight(f.dialog), "sizeChecked");
    QTEST(control<QLineEdit>(f.dialog, "txtTbhPrefix")->text(), "prefixShown");
}

void TestOptionsDialog::fontSizeAppliedOnlyWhenASizeIsChecked_data()
{
    // storedSize empty: nothing stored; picked 0: no button clicked; applied 0: not called.
    QTest::addColumn<QString>("storedSize");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<int>("applied");

    // clang-format off
    QTest::newRow("5 untouched stays 5, not applied") << "5" << 0 << "5" << 0;
    QTest::newRow("5, then 11 picked") << "5" << 11 << "11" << 11;
    QTest::newRow("default 8, then 6 picked") << "" << 6 << "6" << 6;
    QTest::newRow("12 untouched") << "12" << 0 << "12" << 12;
    // clang-format on
}

void TestOptionsDialog::fontSizeAppliedOnlyWhenASizeIsChecked()
{
    QFETCH(QString, storedSize);
    QFETCH(int, picked);
    QFETCH(int, applied);
    storeIfGiven("FontSize", storedSize);
    Fixture f;
    f.dialog.show();
    if (picked != 0)
        click(f.dialog, QStringLiteral("optTextHeight%1").arg(picked));

    click(f.dialog, "cmdApply");

    QTEST(stored("FontSize"), "storedAfter");
    QStringList expected{"tree 15524823", "grid 14745341"};
    if (applied != 0)
        expected << QStringLiteral("font %1").arg(applied);
    expected << "prefix TILLB";
    QCOMPARE(f.calls, expected);
}

void TestOptionsDialog::colourButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QList<qint64>>("answers"); // -1: cancelled
    QTest::addColumn<QList<uint>>("offered");   // the initial colour of each colour dialog
    QTest::addColumn<uint>("expected");

    // clang-format off
    QTest::newRow("tree chosen") << "cmdTreeColor" << "TreeColor" << QList<qint64>{255}
                                 << QList<uint>{15524823} << 255u;
    QTest::newRow("tree cancelled") << "cmdTreeColor" << "TreeColor" << QList<qint64>{-1}
                                    << QList<uint>{15524823} << 15524823u;
    QTest::newRow("tree chosen twice") << "cmdTreeColor" << "TreeColor"
                                       << QList<qint64>{255, 16711680}
                                       << QList<uint>{15524823, 255} << 16711680u;
    QTest::newRow("grid chosen black") << "cmdGridColor" << "GridColor" << QList<qint64>{0}
                                       << QList<uint>{14745341} << 0u;
    QTest::newRow("grid chosen, then cancelled keeps the choice")
        << "cmdGridColor" << "GridColor" << QList<qint64>{65280, -1}
        << QList<uint>{14745341, 65280} << 65280u;
    // clang-format on
}

void TestOptionsDialog::colourButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, setting);
    QFETCH(QList<qint64>, answers);
    QFETCH(uint, expected);
    Fixture f;
    for (qint64 answer : answers) {
        f.prompter.colours.enqueue(answer < 0 ? std::nullopt
                                              : std::optional<std::uint32_t>(answer));
    }
    f.dialog.show();

    for (int i = 0; i < answers.size(); ++i)
        click(f.dialog, button);

    QTEST(QList<uint>(f.prompter.colourRequests.begin(), f.prompter.colourRequests.end()),
          "offered");
    QCOMPARE(uint(shownColour(f.dialog, button)), expected);
    click(f.dialog, "cmdApply");
    QCOMPARE(stored(setting), QString::number(expected));
    const bool tree = button == QLatin1String("cmdTreeColor");
    // The other button is untouched.
    QCOMPARE(stored(tree ? "GridColor" : "TreeColor"),
             QString::fromLatin1(tree ? "14745341" : "15524823"));
    QCOMPARE(f.calls.at(tree ? 0 : 1),
             QStringLiteral("%1 %2").arg(tree ? "tree" : "grid").arg(expected));
}

void TestOptionsDialog::saveAppliesAndCloses_data()
{
    QTest::addColumn<bool>("byEnterInPrefix");
    // clang-format off
    QTest::newRow("Spara") << false;
    QTest::newRow("Enter in the prefix field") << true;
    // clang-format on
}

void TestOptionsDialog::saveAppliesAndCloses()
{
    QFETCH(bool, byEnterInPrefix);
    Fixture f;
    f.dialog.show();
    click(f.dialog, "optTextHeight10");

    if (byEnterInPrefix)
        QTest::keyClick(control<QLineEdit>(f.dialog, "txtTbhPrefix"), Qt::Key_Return);
    else
        click(f.dialog, "cmdSave");

    QVERIFY(!f.dialog.isVisible());
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(stored("FontSize"), QStringLiteral("10"));
    QCOMPARE(f.calls, (QStringList{"tree 15524823", "grid 14745341", "font 10", "prefix TILLB"}));
    QVERIFY(f.prompter.colourRequests.isEmpty());
}

void TestOptionsDialog::cancelStoresNothing()
{
    Fixture f;
    f.prompter.colours.enqueue(255);
    f.dialog.show();
    click(f.dialog, "chkAutoOpenMostRecentFile");
    click(f.dialog, "cmdTreeColor");
    click(f.dialog, "optTextHeight12");
    QTest::keyClicks(control<QLineEdit>(f.dialog, "txtTbhPrefix"), "X");

    click(f.dialog, "cmdCancel");

    QVERIFY(!f.dialog.isVisible());
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QVERIFY(f.calls.isEmpty());
    // Only the placement, which closing stores while "SaveWinProp" is on.
    QCOMPARE(storedOptionNames(), (QStringList{"Height", "Left", "Top", "Width"}));
    QVERIFY(userStore().childKeys().isEmpty());
}

void TestOptionsDialog::closingStoresPlacementWhileSaveWinPropIsOn_data()
{
    QTest::addColumn<QString>("saveWinProp"); // stored before opening; empty: nothing stored
    QTest::addColumn<bool>("toggle");         // click "Lagra fönsteregenskaper" first
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("placementStored");

    // clang-format off
    QTest::newRow("fresh user, Avbryt") << "" << false << QStringList{"cmdCancel"} << true;
    QTest::newRow("on, Spara") << "1" << false << QStringList{"cmdSave"} << true;
    QTest::newRow("on, window closed") << "1" << false << QStringList{"close"} << true;
    QTest::newRow("on, Escape") << "1" << false << QStringList{"escape"} << true;
    QTest::newRow("off, Avbryt") << "0" << false << QStringList{"cmdCancel"} << false;
    QTest::newRow("off, window closed") << "0" << false << QStringList{"close"} << false;
    QTest::newRow("switched off and saved") << "1" << true << QStringList{"cmdSave"} << false;
    QTest::newRow("switched off, applied, then Avbryt")
        << "1" << true << QStringList{"cmdApply", "cmdCancel"} << false;
    QTest::newRow("switched off but cancelled") << "1" << true << QStringList{"cmdCancel"}
                                                << true;
    QTest::newRow("switched on and saved") << "0" << true << QStringList{"cmdSave"} << true;
    // clang-format on
}

void TestOptionsDialog::closingStoresPlacementWhileSaveWinPropIsOn()
{
    QFETCH(QString, saveWinProp);
    QFETCH(bool, toggle);
    QFETCH(QStringList, actions);
    QFETCH(bool, placementStored);
    // An earlier placement, larger than the default size.
    const QStringList earlier{"300", "450", "7200", "9000"};
    const QStringList names{"Top", "Left", "Height", "Width"};
    for (int i = 0; i < names.size(); ++i)
        TestFiles::storeSetting(names.at(i), earlier.at(i), kOptions);
    storeIfGiven("SaveWinProp", saveWinProp);

    QPoint closedAt;
    QSize closedSize;
    {
        Fixture f;
        f.dialog.show();
        QCOMPARE(f.dialog.size(), QSize(Twips::toPixels(9000), Twips::toPixels(7200)));
        f.dialog.move(40, 60);
        f.dialog.resize(f.dialog.width() + 30, f.dialog.height() + 20);
        closedAt = f.dialog.pos();
        closedSize = f.dialog.size();
        if (toggle)
            click(f.dialog, "chkSaveWinProp");
        for (const QString &action : actions)
            runAction(f.dialog, action);
        QVERIFY(!f.dialog.isVisible());
    }

    if (!placementStored) {
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(stored(names.at(i)), earlier.at(i));
    }
    // The next dialog opens where the last stored placement says.
    Fixture next;
    next.dialog.show();
    if (placementStored) {
        QCOMPARE(next.dialog.pos(), closedAt);
        QCOMPARE(next.dialog.size(), closedSize);
    } else {
        QCOMPARE(next.dialog.pos(), QPoint(Twips::toPixels(450), Twips::toPixels(300)));
        QCOMPARE(next.dialog.size(), QSize(Twips::toPixels(9000), Twips::toPixels(7200)));
    }
}

void TestOptionsDialog::prefixRefusesCharactersOutsideCp1252_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("warned");

    // clang-format off
    QTest::newRow("Swedish letters and euro sign") << "Tbh-åäö€" << "Tbh-åäö€" << false;
    QTest::newRow("Greek letter refused") << "AΩ" << "A" << true;
    QTest::newRow("CJK refused, warning cleared by the next key") << "中B" << "B" << false;
    QTest::newRow("CJK refused at the end") << "AB中" << "AB" << true;
    // clang-format on
}

void TestOptionsDialog::prefixRefusesCharactersOutsideCp1252()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f;
    f.dialog.show();
    auto *prefix = control<QLineEdit>(f.dialog, "txtTbhPrefix");
    prefix->clear();

    typeText(prefix, typed);

    QCOMPARE(prefix->text(), shown);
    QTEST(control<QLabel>(f.dialog, "lblTbhPrefixWarning")->isVisible(), "warned");
    click(f.dialog, "cmdApply");
    QCOMPARE(stored("TbhPrefix"), shown);
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
