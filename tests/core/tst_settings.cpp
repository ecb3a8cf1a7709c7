#include "core/Settings.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Settings::Setting;

namespace {

// A declared setting as the table sees it: where it is stored and its default as stored text.
struct Declared
{
    Settings::Key key;
    QString defaultText;
};

template <typename T> Declared declared(const Setting<T> &setting)
{
    return {setting.key(), Settings::Codec<T>::toText(Settings::defaultOf(setting))};
}

} // namespace

Q_DECLARE_METATYPE(Declared)

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
    void typedValues();
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
    QTest::addColumn<Declared>("setting");
    QTest::addColumn<QString>("key"); // section/name as stored
    QTest::addColumn<bool>("machine");
    QTest::addColumn<QString>("defaultValue");

    const QString programFolder = QCoreApplication::applicationDirPath();
    // clang-format off
    QTest::newRow("Theme") << declared(Settings::Theme) << "Theme" << false << "6";
    QTest::newRow("WinState") << declared(Settings::WinState) << "WinState" << false << "0";
    QTest::newRow("TreeWidth") << declared(Settings::TreeWidth) << "TreeWidth" << false << "0";
    QTest::newRow("Width") << declared(Settings::WindowWidth) << "Width" << false << "0";
    QTest::newRow("Height") << declared(Settings::WindowHeight) << "Height" << false << "0";
    QTest::newRow("Font") << declared(Settings::FontName) << "Font" << false << "";
    QTest::newRow("LastFileName") << declared(Settings::LastFileName) << "LastFileName" << false << "";
    QTest::newRow("OpenPath") << declared(Settings::OpenPath) << "OpenPath" << false << programFolder;
    QTest::newRow("ImportPath") << declared(Settings::ImportPath) << "ImportPath" << false << "";
    QTest::newRow("AutoOpen") << declared(Settings::AutoOpen) << "Options/AutoOpen" << false << "0";
    QTest::newRow("SaveWinProp") << declared(Settings::SaveWinProp) << "Options/SaveWinProp" << false
                                 << "1";
    QTest::newRow("TreeColor") << declared(Settings::TreeColor) << "Options/TreeColor" << false
                               << "16777215";
    QTest::newRow("GridColor") << declared(Settings::GridColor) << "Options/GridColor" << false
                               << "16777215";
    QTest::newRow("TreeColor in the Options dialog") << declared(Settings::OptionsTreeColor) << "Options/TreeColor" << false << "15524823";
    QTest::newRow("GridColor in the Options dialog") << declared(Settings::OptionsGridColor) << "Options/GridColor" << false << "14745341";
    QTest::newRow("FontSize") << declared(Settings::FontSize) << "Options/FontSize" << false << "8";
    QTest::newRow("TbhPrefix") << declared(Settings::TbhPrefix) << "Options/TbhPrefix" << false << "TILLB";
    QTest::newRow("bar layout") << declared(Settings::BarLayout) << "Layout/State" << false << "";
    QTest::newRow("bar count") << declared(Settings::BarCount) << "Layout-Summary/Bars" << false << "0";
    QTest::newRow("Version") << declared(Settings::Version) << "Version" << true << "0";
    QTest::newRow("AccessoriesPrefix") << declared(Settings::AccessoriesPrefix) << "Options/AccessoriesPrefix" << true << "TILLB";
    QTest::newRow("main window top") << declared(Settings::placementTop("Main")) << "Main/Top" << false
                                     << "0";
    QTest::newRow("dialog left") << declared(Settings::placementLeft("ChangePrefix")) << "ChangePrefix/Left" << false << "0";
    QTest::newRow("dialog height") << declared(Settings::placementHeight("Options")) << "Options/Height"
                                   << false << "0";
    QTest::newRow("dialog width") << declared(Settings::placementWidth("Replace")) << "Replace/Width"
                                  << false << "0";
    QTest::newRow("first column") << declared(Settings::columnWidth(0)) << "0Col" << false << "700";
    QTest::newRow("column 12") << declared(Settings::columnWidth(12)) << "12Col" << false << "700";
    QTest::newRow("recent file 0") << declared(Settings::recentFile(0)) << "Main/0RecentFile" << false
                                   << "";
    QTest::newRow("recent file 3") << declared(Settings::recentFile(3)) << "Main/3RecentFile" << false
                                   << "";
    // clang-format on
}

void TestSettings::declaredSettings()
{
    QFETCH(Declared, setting);
    QFETCH(QString, key);
    QFETCH(bool, machine);

    QTEST(setting.defaultText, "defaultValue");

    Settings::saveText(setting.key, "x");
    QCOMPARE(Settings::storedText(setting.key), QString("x"));
    using Values = QMap<QString, QString>;
    QCOMPARE(storedIn(machine ? QSettings::SystemScope : QSettings::UserScope),
             (Values{{key, "x"}}));
    QCOMPARE(storedIn(machine ? QSettings::UserScope : QSettings::SystemScope), Values());
}

void TestSettings::readsDefaultsForMissingAndEmptyValues()
{
    QCOMPARE(Settings::read(Settings::Theme), 6);
    Settings::save(Settings::Theme, 2);
    QCOMPARE(Settings::read(Settings::Theme), 2);
    // Cleared values are stored as empty text.
    Settings::clear(Settings::Theme);
    QCOMPARE(Settings::read(Settings::Theme), 6);
    Settings::saveText(Settings::Theme.key(), "blå");
    QCOMPARE(Settings::read(Settings::Theme), 6);

    Settings::save(Settings::TreeColor, 255);
    QCOMPARE(Settings::read(Settings::OptionsTreeColor), 255u);
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
    const Setting<int> width = Settings::columnWidth(3);
    if (!stored.isEmpty())
        Settings::saveText(width.key(), stored);
    QTEST(Settings::read(width), "withDeclaredDefault");
    QTEST(Settings::stored(width).value_or(-1), "withCallersDefault");
}

// Older versions and other programs wrote these texts; each type reads them the same way.
void TestSettings::typedValues()
{
    const auto storedAs = [](const auto &setting, const QString &text) {
        Settings::saveText(setting.key(), text);
        return Settings::read(setting);
    };
    QCOMPARE(storedAs(Settings::AutoOpen, "1"), true);
    QCOMPARE(storedAs(Settings::AutoOpen, "0"), false);
    QCOMPARE(storedAs(Settings::SaveWinProp, "ja"), false);
    QCOMPARE(storedAs(Settings::SaveWinProp, ""), true);
    QCOMPARE(storedAs(Settings::GridColor, "-5"), 16777215u);
    QCOMPARE(storedAs(Settings::GridColor, "4294967295"), 4294967295u);

    const QByteArray state = QByteArray::fromHex("00ff806162");
    Settings::save(Settings::BarLayout, state);
    QCOMPARE(Settings::storedText(Settings::BarLayout.key()),
             QString::fromLatin1(state.toBase64()));
    QCOMPARE(Settings::read(Settings::BarLayout), state);

    Settings::save(Settings::AutoOpen, true);
    QCOMPARE(Settings::storedText(Settings::AutoOpen.key()), QString("1"));
}

void TestSettings::sectionsAndScopesAreSeparate()
{
    Settings::save(Settings::placementTop("Main"), 100);
    Settings::save(Settings::placementTop("Options"), 200);
    QCOMPARE(Settings::read(Settings::placementTop("Main")), 100);
    QCOMPARE(Settings::read(Settings::placementTop("Options")), 200);
    QCOMPARE(Settings::read(Settings::placementTop("Replace")), 0);
    // The main window's size also lives at the top level, apart from its placement.
    Settings::save(Settings::placementWidth("Main"), 12000);
    QCOMPARE(Settings::stored(Settings::WindowWidth), std::nullopt);

    Settings::save(Settings::Version, "1.2.3");
    QCOMPARE(Settings::read(Settings::Version), QString("1.2.3"));
    Setting<QString> userVersion = Settings::Version;
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
