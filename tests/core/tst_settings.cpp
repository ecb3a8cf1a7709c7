#include "core/Settings.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Settings::Setting)

using Settings::Setting;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void declaredSettings_data();
    void declaredSettings();
    void readsDefaultsForMissingAndEmptyValues();
    void accessoriesPrefixFallsBackToTbhPrefix();
    void readNumber_data();
    void readNumber();
    void sectionsAndScopesAreSeparate();
    void iniValues();

private:
    QTemporaryDir m_dir;
};

namespace {

QSettings store(QSettings::Scope scope)
{
    return QSettings(QSettings::NativeFormat, scope, "BRAX", "Ravelund");
}

// What one scope holds by itself (the user's store would also show the machine's).
QMap<QString, QString> storedIn(QSettings::Scope scope)
{
    QSettings own = store(scope);
    own.setFallbacksEnabled(false);
    QMap<QString, QString> values;
    for (const QString &key : own.allKeys())
        values.insert(key, own.value(key).toString());
    return values;
}

} // namespace

void TestSettings::initTestCase()
{
    TestFiles::isolateSettings(m_dir.path());
}

void TestSettings::init()
{
    store(QSettings::UserScope).clear();
    store(QSettings::SystemScope).clear();
}

void TestSettings::declaredSettings_data()
{
    // The names users already have stored: a change here loses their settings.
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<QString>("key"); // section/name as stored
    QTest::addColumn<bool>("machine");
    QTest::addColumn<QString>("defaultValue");

    const QString programFolder = QCoreApplication::applicationDirPath();
    // clang-format off
    QTest::newRow("Theme") << Settings::Theme << "Theme" << false << "6";
    QTest::newRow("WinState") << Settings::WinState << "WinState" << false << "0";
    QTest::newRow("TreeWidth") << Settings::TreeWidth << "TreeWidth" << false << "";
    QTest::newRow("Width") << Settings::WindowWidth << "Width" << false << "";
    QTest::newRow("Height") << Settings::WindowHeight << "Height" << false << "";
    QTest::newRow("Font") << Settings::FontName << "Font" << false << "";
    QTest::newRow("LastFileName") << Settings::LastFileName << "LastFileName" << false << "";
    QTest::newRow("OpenPath") << Settings::OpenPath << "OpenPath" << false << programFolder;
    QTest::newRow("ImportPath") << Settings::ImportPath << "ImportPath" << false << "";
    QTest::newRow("AutoOpen") << Settings::AutoOpen << "Options/AutoOpen" << false << "0";
    QTest::newRow("SaveWinProp") << Settings::SaveWinProp << "Options/SaveWinProp" << false
                                 << "1";
    QTest::newRow("TreeColor") << Settings::TreeColor << "Options/TreeColor" << false
                               << "16777215";
    QTest::newRow("GridColor") << Settings::GridColor << "Options/GridColor" << false
                               << "16777215";
    QTest::newRow("TreeColor in the Options dialog") << Settings::OptionsTreeColor
                                                     << "Options/TreeColor" << false << "15524823";
    QTest::newRow("GridColor in the Options dialog") << Settings::OptionsGridColor
                                                     << "Options/GridColor" << false << "14745341";
    QTest::newRow("FontSize") << Settings::FontSize << "Options/FontSize" << false << "8";
    QTest::newRow("TbhPrefix") << Settings::TbhPrefix << "Options/TbhPrefix" << false << "TILLB";
    QTest::newRow("bar layout") << Settings::BarLayout << "Layout/State" << false << "";
    QTest::newRow("bar count") << Settings::BarCount << "Layout-Summary/Bars" << false << "0";
    QTest::newRow("Version") << Settings::Version << "Version" << true << "0";
    QTest::newRow("AccessoriesPrefix") << Settings::AccessoriesPrefix
                                       << "Options/AccessoriesPrefix" << true << "TILLB";
    QTest::newRow("main window top") << Settings::placementTop("Main") << "Main/Top" << false
                                     << "0";
    QTest::newRow("dialog left") << Settings::placementLeft("ChangePrefix")
                                 << "ChangePrefix/Left" << false << "0";
    QTest::newRow("dialog height") << Settings::placementHeight("Options") << "Options/Height"
                                   << false << "";
    QTest::newRow("dialog width") << Settings::placementWidth("Replace") << "Replace/Width"
                                  << false << "";
    QTest::newRow("first column") << Settings::columnWidth(0) << "0Col" << false << "700";
    QTest::newRow("column 12") << Settings::columnWidth(12) << "12Col" << false << "700";
    QTest::newRow("recent file 0") << Settings::recentFile(0) << "Main/0RecentFile" << false
                                   << "";
    QTest::newRow("recent file 3") << Settings::recentFile(3) << "Main/3RecentFile" << false
                                   << "";
    // clang-format on
}

void TestSettings::declaredSettings()
{
    QFETCH(Setting, setting);
    QFETCH(QString, key);
    QFETCH(bool, machine);

    QTEST(Settings::read(setting), "defaultValue");

    Settings::save(setting, "x");
    QCOMPARE(Settings::read(setting), QString("x"));
    using Values = QMap<QString, QString>;
    QCOMPARE(storedIn(machine ? QSettings::SystemScope : QSettings::UserScope),
             (Values{{key, "x"}}));
    QCOMPARE(storedIn(machine ? QSettings::UserScope : QSettings::SystemScope), Values());
}

void TestSettings::readsDefaultsForMissingAndEmptyValues()
{
    QCOMPARE(Settings::read(Settings::Theme), QString("6"));
    Settings::save(Settings::Theme, "2");
    QCOMPARE(Settings::read(Settings::Theme), QString("2"));
    // An empty stored text reads as the default.
    Settings::save(Settings::Theme, "");
    QCOMPARE(Settings::read(Settings::Theme), QString("6"));
    // The same stored value, read with the Options dialog's default.
    Settings::save(Settings::TreeColor, "255");
    QCOMPARE(Settings::read(Settings::OptionsTreeColor), QString("255"));
}

void TestSettings::accessoriesPrefixFallsBackToTbhPrefix()
{
    Settings::save(Settings::TbhPrefix, "TBH");
    QCOMPARE(Settings::read(Settings::AccessoriesPrefix), QString("TBH"));
    // Only the machine's store holds the installation-wide prefix.
    store(QSettings::UserScope).setValue("Options/AccessoriesPrefix", "USER");
    QCOMPARE(Settings::read(Settings::AccessoriesPrefix), QString("TBH"));
    store(QSettings::SystemScope).setValue("Options/AccessoriesPrefix", "ALLA");
    QCOMPARE(Settings::read(Settings::AccessoriesPrefix), QString("ALLA"));
}

void TestSettings::readNumber_data()
{
    QTest::addColumn<QString>("stored"); // empty: nothing stored
    QTest::addColumn<int>("withDeclaredDefault");
    QTest::addColumn<int>("withCallersDefault");

    // clang-format off
    QTest::newRow("nothing stored") << "" << 700 << -1;
    QTest::newRow("whole number") << "1500" << 1500 << 1500;
    QTest::newRow("single-precision text rounds") << "1499.6" << 1500 << 1500;
    QTest::newRow("negative") << "-120" << -120 << -120;
    QTest::newRow("not a number") << "breit" << 700 << -1;
    QTest::newRow("beyond 32 bits") << "9999999999" << 700 << -1;
    // clang-format on
}

void TestSettings::readNumber()
{
    QFETCH(QString, stored);
    const Setting width = Settings::columnWidth(3);
    if (!stored.isEmpty())
        Settings::save(width, stored);
    QTEST(Settings::readNumber(width), "withDeclaredDefault");
    QTEST(Settings::readNumber(width, -1), "withCallersDefault");
}

void TestSettings::sectionsAndScopesAreSeparate()
{
    Settings::save(Settings::placementTop("Main"), "100");
    Settings::save(Settings::placementTop("Options"), "200");
    QCOMPARE(Settings::read(Settings::placementTop("Main")), QString("100"));
    QCOMPARE(Settings::read(Settings::placementTop("Options")), QString("200"));
    QCOMPARE(Settings::read(Settings::placementTop("Replace")), QString("0"));
    // The main window's size also lives at the top level, apart from its placement.
    Settings::save(Settings::placementWidth("Main"), "12000");
    QCOMPARE(Settings::read(Settings::WindowWidth), QString());

    Settings::save(Settings::Version, "1.2.3");
    QCOMPARE(Settings::read(Settings::Version), QString("1.2.3"));
    Setting userVersion = Settings::Version;
    userVersion.scope = Settings::Scope::User;
    QCOMPARE(Settings::read(userVersion), QString("0"));
}

void TestSettings::iniValues()
{
    const QString ini = m_dir.filePath("program.ini");
    QCOMPARE(Settings::readIni("Presets", "1", ini), QString());
    QVERIFY(Settings::writeIni("Presets", "1", "L1 L2 L3", ini));
    QCOMPARE(Settings::readIni("Presets", "1", ini), QString("L1 L2 L3"));
    QVERIFY(Settings::writeIni("Presets", "long", QString(3000, 'x'), ini));
    QCOMPARE(Settings::readIni("Presets", "long", ini).size(), 2047);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
