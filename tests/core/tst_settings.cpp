#include "core/Settings.h"
#include "support/TestFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsDefaultsForMissingAndEmptyValues();
    void sectionsAndScopesAreSeparate();
    void iniValues();

private:
    QTemporaryDir m_dir;
};

void TestSettings::initTestCase()
{
    TestFiles::isolateSettings(m_dir.path());
}

void TestSettings::readsDefaultsForMissingAndEmptyValues()
{
    QCOMPARE(Settings::readUser("Theme", "6"), QString("6"));
    Settings::saveUser("Theme", "2");
    QCOMPARE(Settings::readUser("Theme", "6"), QString("2"));
    // An empty stored text reads as the default.
    Settings::saveUser("Theme", "");
    QCOMPARE(Settings::readUser("Theme", "6"), QString("6"));
}

void TestSettings::sectionsAndScopesAreSeparate()
{
    Settings::saveUser("Top", "100", "Main");
    Settings::saveUser("Top", "200", "Options");
    QCOMPARE(Settings::readUser("Top", "0", "Main"), QString("100"));
    QCOMPARE(Settings::readUser("Top", "0", "Options"), QString("200"));
    QCOMPARE(Settings::readUser("Top", "0"), QString("0"));
    Settings::saveMachine("Version", "1.2.3");
    QCOMPARE(Settings::readMachine("Version", "0"), QString("1.2.3"));
    QCOMPARE(Settings::readUser("Version", "0"), QString("0"));
    // Stored where the platform keeps it, under the organisation and application names.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "BRAX", "Ravelund");
    QCOMPARE(store.value("Main/Top").toString(), QString("100"));
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
