#pragma once

#include "db/FieldList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A small catalogue layout used by the import and export tests: BL_NAME 8, TYP 3,
// BENÄMNING 20, FABRIKAT 12.
namespace CatalogueFixture {

QByteArray tdx();

// One .tds line from its four values.
QString line(const QString &blockName, const QString &type, const QString &designation,
             const QString &manufacturer = QString());

// Two groups with their head lines (apostrophes and Swedish letters in the values) and an
// equivalence line: the starting point of the comparison and merge tests.
QStringList twoGroups();

// Writes name.tds (the lines, CR LF, Windows-1252) and name.tdx into folder; returns the .tds path.
QString write(const QString &folder, const QString &name, const QStringList &lines);

// Imports a written .tds file and returns the working database's path; stops the test run when
// the fixture does not import.
QString importTds(const QString &tdsPath);

// write() and importTds() in one step.
QString importDatabase(const QString &folder, const QString &name, const QStringList &lines);

} // namespace CatalogueFixture
