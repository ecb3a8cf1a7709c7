#pragma once

#include "compare/CatalogueDifferences.h"

#include <QByteArray>
#include <QString>

// The differences written out: readable Swedish text grouped by group, or TSV and JSON for
// scripts (field names as they stand, kinds as fixed English tokens).
namespace ComparisonReport {

enum class Format { Text, Tsv, Json };

QString text(const CatalogueDifferences &d, const QString &nameA, const QString &nameB);
// A header line, then one line per difference (one per field of a changed article).
QString tsv(const CatalogueDifferences &d);
QByteArray json(const CatalogueDifferences &d);
// The text as a web page to keep or send (UTF-8).
QString html(const CatalogueDifferences &d, const QString &nameA, const QString &nameB);

} // namespace ComparisonReport
