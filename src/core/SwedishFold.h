#pragma once

#include <QString>
#include <QStringView>

#include <string>

// Text as the Swedish collation compares it at primary strength: case and accents go
// ("CAFÉ" -> "cafe", "ß" -> "ss"), while Å, Ä and Ö stay letters of their own. Two texts are
// equal at that strength when their folds are equal, so a plain substring search of folds finds
// a text the way a Swedish reader would.
//
// The table behind it is built once from ICU's "sv" collator for every character Windows-1252
// can hold; any other character is asked of ICU when met.
namespace SwedishFold {

QString fold(QStringView text);

// Appends the fold of UTF-8 text to out, as UTF-8. ASCII takes one table look-up a byte.
void appendFoldedUtf8(const char *utf8, qsizetype length, std::string &out);

} // namespace SwedishFold
