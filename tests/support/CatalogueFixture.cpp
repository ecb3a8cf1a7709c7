#include "support/CatalogueFixture.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include "core/Progress.h"
#include "db/TdsImport.h"

namespace CatalogueFixture {

QByteArray tdx()
{
    return TestFiles::crlf({QStringLiteral("BL_NAME,Blocknamn,8"), QStringLiteral("TYP,Typ,3"),
                            QStringLiteral("BENÄMNING,Benämning,20"),
                            QStringLiteral("FABRIKAT,Fabrikat,12")});
}

QString line(const QString &blockName, const QString &type, const QString &designation,
             const QString &manufacturer)
{
    return TestFiles::record({{blockName, 8}, {type, 3}, {designation, 20}, {manufacturer, 12}});
}

QStringList twoGroups()
{
    return {line("ABCDI010", "-", "Kontaktorer"),
            line("ABCDI010", "1", "Kontaktor 1", "Nordel"),
            line("ABCDI010", "2", "Kontaktor 2", "O'Brien"),
            line("ABCDI010", "3", "Kontaktor 3", "Åkerby"),
            line("ABCDI020", "-", "Reläer"),
            line("ABCDI020", "1", "Relä 1"),
            line("ABCDI999", "", "Ekv")};
}

QString write(const QString &folder, const QString &name, const QStringList &lines)
{
    const QString tds = folder + QLatin1Char('/') + name + QStringLiteral(".tds");
    TestFiles::write(tds, TestFiles::crlf(lines));
    TestFiles::write(folder + QLatin1Char('/') + name + QStringLiteral(".tdx"), tdx());
    return tds;
}

QString importTds(const QString &tdsPath)
{
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(tdsPath);
    if (!result.ok)
        qFatal("fixture import failed: %s", qPrintable(prompter.texts().join('\n')));
    return result.dbPath;
}

QString importDatabase(const QString &folder, const QString &name, const QStringList &lines)
{
    return importTds(write(folder, name, lines));
}

} // namespace CatalogueFixture
