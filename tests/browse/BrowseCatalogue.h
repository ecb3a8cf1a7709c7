#pragma once

#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"

#include <QStringList>

// Working databases for the browse tests, made by importing a small catalogue.
namespace BrowseCatalogue {

using CatalogueFixture::line;

// Imports a .tds file (with its .tdx beside it) and opens the new working database.
inline Database importTds(const QString &tdsPath, FieldList *fields = nullptr)
{
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(tdsPath);
    if (!result.ok)
        qFatal("import failed: %s", qPrintable(prompter.texts().join(QLatin1Char('\n'))));
    if (fields)
        *fields = result.fields;
    return Database(result.dbPath, Database::OpenMode::ReadWrite);
}

inline Database import(const QString &folder, const QStringList &lines, FieldList *fields = nullptr)
{
    return importTds(CatalogueFixture::write(folder, QStringLiteral("katalog"), lines), fields);
}

// Groups whose descriptions need Swedish order (case ignored, Å before Ä, both after Z), two
// groups whose descriptions differ only in case and interleave by row number, apostrophes in a
// block name and a manufacturer, an article group without a Designations row (ABCDI099) and
// equivalence rows. Row numbers 0 and 5 are swapped after the import, so a group's rows are out
// of file order and only an order by RAD gives them as expected:
//   RAD 0 ABCDI010/3  1 ABCDI010/2  2 ABCDI099/1  3 ABCDI030/1  4 ABCDI040/1  5 ABCDI010/1
//       6 ABCDI030/2  7 ABCDI040/2  8 ABCDI050/1  9 AB'DI060/1 10 ABCDI020/1 11 ABCDI070/1
//      12 ABCDI080/1 13 ABCDI090/1
inline QStringList standardLines()
{
    return {line("ABCDI010", "1", "Ärmar", "Nordel"), line("ABCDI010", "2", "Ärm två", "O'Brien"),
            line("ABCDI099", "1", "Utan grupp", "Nordel"), line("ABCDI030", "1", "Samma", "Nordel"),
            line("ABCDI040", "1", "samma", "Åkerby"), line("ABCDI010", "3", "Ärm tre", "Nordel"),
            line("ABCDI030", "2", "Samma två", "Nordel"),
            line("ABCDI040", "2", "samma två", "Åkerby"),
            line("ABCDI050", "1", "banor", "Lindqvist"), line("AB'DI060", "1", "Åsnor", "O'Brien"),
            line("ABCDI020", "1", "Cyklar", "Nordel"), line("ABCDI070", "1", "Öglor"),
            line("ABCDI080", "1", "Apparater", "Nordel"), line("ABCDI090", "1", "Zebror", "Nordel"),
            // Equivalences: the first line with an empty type starts them.
            line("ABCDI071", "", "=ABCDI010"), line("ABCDI072", "", "=ABCDI020"),
            line("ABCDI073", "", "Vanlig"), line("ABCDI010", "", "Egen rad"),
            line("ABCDI075", "", "=ABCDI010"), line("ABCDI074", "", "=AB'DI060")};
}

inline Database standard(const QString &folder, FieldList *fields = nullptr)
{
    Database db = import(folder, standardLines(), fields);
    db.exec(QStringLiteral("DELETE FROM Designations WHERE BL_NAME = 'ABCDI099'"));
    db.exec(QStringLiteral(
        "UPDATE Articles SET RAD = CASE RAD WHEN 0 THEN 5 ELSE 0 END WHERE RAD IN (0, 5)"));
    return db;
}

// Every row of a statement's result as "value|value|...", NULL marked as such.
inline QStringList rowsOf(Statement &st)
{
    QStringList rows;
    while (st.step()) {
        QStringList values;
        for (int i = 0; i < st.columnCount(); ++i)
            values << (st.isNull(i) ? QStringLiteral("<NULL>") : st.text(i));
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

inline QStringList rowsOf(Database &db, const QString &sql)
{
    Statement st = db.prepare(sql);
    return rowsOf(st);
}

// The whole database as text: the schema and every row of every table, by rowid.
inline QStringList dump(Database &db)
{
    QStringList result =
        rowsOf(db, QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
    const QStringList tables = rowsOf(
        db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    for (const QString &table : tables) {
        const QString sql =
            QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(quoteIdentifier(table));
        for (const QString &row : rowsOf(db, sql))
            result << table + QLatin1Char(':') + row;
    }
    return result;
}

} // namespace BrowseCatalogue
