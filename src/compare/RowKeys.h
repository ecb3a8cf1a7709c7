#pragma once

#include <QString>
#include <QStringList>

class Database;

// Pairing keys of a catalogue's lines as temporary tables, so two catalogues pair with an indexed
// join inside the engine.
namespace RowKeys {

// temp.<name>(rid INTEGER PRIMARY KEY, rad, grp, typ, kd, cd) over <schema>.Articles: every
// article with digests of its key (kd) and of all of contentFields (cd), indexed on kd. The key
// of an article is its values of keyFields, of a group's head line its BL_NAME and TYP whatever
// the key. One pass without sorting: most lines of two versions pair by these alone.
void buildArticleDigests(Database &db, const QString &schema, const QString &name,
                         const QStringList &keyFields, const QStringList &contentFields);

// temp.<name>(rid, rad, grp, typ, key, label, content, dup, cnt) over the articles of
// <schema>.Articles whose row id is in temp.<only>(rid): the key as above in text (label: the
// same for a reader); content holds all of contentFields; dup numbers the lines sharing a key in
// row order and cnt counts them. Indexed on (key, dup) and rid.
void buildArticleKeys(Database &db, const QString &schema, const QString &name,
                      const QStringList &keyFields, const QStringList &contentFields,
                      const QString &only);

// temp.<name>(rid, rad, grp, key, dup) over <schema>.Eqv, keyed by every one of `fields`.
void buildLineKeys(Database &db, const QString &schema, const QString &table, const QString &name,
                   const QStringList &fields);

// The SQL text of a key over the given columns of alias `alias`: injective, with NULL as empty.
QString keyExpression(const QString &alias, const QStringList &fields);

// Drops a table of ours from temp when it exists.
void drop(Database &db, const QString &name);

} // namespace RowKeys
