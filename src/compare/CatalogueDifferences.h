#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What differs between two catalogues, A (old) and B (new).

struct FieldDifference
{
    enum class Kind { Added, Removed, Renamed, Length, Description };
    Kind kind;
    QString name;    // the name in A (in B for an added field)
    QString newName; // the name in B when renamed
    int oldLength = 0;
    int newLength = 0;
    QString oldDescription;
    QString newDescription;
};

struct GroupDifference
{
    enum class Kind { Added, Removed, Changed };
    Kind kind;
    QString blockName;
    QString oldDescription;
    QString newDescription;
};

struct ValueChange
{
    QString field;
    QString oldValue;
    QString newValue;
};

struct ArticleDifference
{
    enum class Kind { Added, Removed, Changed, Moved };
    Kind kind = Kind::Changed;
    QString group;      // BL_NAME (of B, of A when removed)
    QString type;       // TYP
    QString key;        // the key values, "; " between them
    qint64 oldRow = -1; // RAD in A, -1 when added
    qint64 newRow = -1; // RAD in B, -1 when removed
    qint64 oldRowId = -1;
    qint64 newRowId = -1;
    int oldPlace = 0; // 1-based place among the group's paired articles (moved only)
    int newPlace = 0;
    QList<ValueChange> changes; // changed only
    // Added only: every compared field's value, in comparedFields' order, and the line of A it
    // follows in its group (the row id; -1: it stands first).
    QStringList values;
    qint64 anchorOldRowId = -1;
};

// A key that several articles share on one side; they are paired in row order.
struct DuplicateKey
{
    QString group;
    QString key;
    qint64 countA = 0;
    qint64 countB = 0;
};

struct EquivalenceDifference
{
    bool added = false;
    QString blockName;
    QStringList values; // every compared field but RAD, in A's order
    qint64 rowId = -1;  // in Eqv of the side it stands in
};

struct CatalogueDifferences
{
    QStringList keyFields;
    QStringList comparedFields; // the fields both sides have, RAD left out
    QStringList leftOutFields;  // fields only one side has
    QList<FieldDifference> fields;
    QList<GroupDifference> groups;
    QList<ArticleDifference> articles; // by group, then place
    QList<DuplicateKey> duplicates;
    QList<EquivalenceDifference> equivalences;

    // Duplicate keys alone are no difference: they are paired and compared.
    bool isEmpty() const
    {
        return fields.isEmpty() && groups.isEmpty() && articles.isEmpty() && equivalences.isEmpty();
    }
};
