#pragma once

#include "db/FieldList.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which catalogue field each column of a list fills. A heading matches a field by its name or
// its description, or through a small table of the usual Swedish and English headings ("Art.nr",
// "Artikelnummer", "Item no" -> ARTNR), ignoring case, accents, spaces and punctuation. The row
// number, block name and type are never filled from a list, and each field takes one column at
// most (the first that names it).
namespace HeadingMapping {

// A heading reduced to what a match compares: lower-case letters and digits without accents.
QString normalized(const QString &heading);

// The field the heading names among `fields`; empty when none.
QString fieldFor(const QString &heading, const FieldList &fields);

// One field name per heading (empty: the column is not used).
QStringList map(const QStringList &headings, const FieldList &fields);

// The key fields to match list rows with articles: FABRIKAT and ARTNR when both are mapped,
// else ARTNR alone; empty when the list has no article number column.
QStringList defaultKey(const QStringList &mapping);

} // namespace HeadingMapping
