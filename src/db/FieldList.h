#pragma once

#include <QList>
#include <QString>

// One column of the article tables. Entry 0 of a FieldList is always the row number RAD.
struct FieldDesc
{
    QString Name;
    QString Description;
    int Length = 0; // characters
    int Start = 0;  // 1-based first character in a .tds line; 0 for RAD
};

using FieldList = QList<FieldDesc>;

inline constexpr const char *kRowNumberField = "RAD";
inline constexpr int kRowNumberLength = 6;

inline FieldList rowNumberOnlyFieldList()
{
    return {FieldDesc{QString::fromLatin1(kRowNumberField), QString(), kRowNumberLength, 0}};
}
