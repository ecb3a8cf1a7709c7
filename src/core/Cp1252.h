#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252, the code page of the exchange files. The tables come from Qt's own codec once;
// every one of the 256 bytes maps to one character and back, so any file round-trips.
namespace Cp1252 {

QString decode(QByteArrayView bytes);

// Characters Windows-1252 cannot hold become '?'; *replaced counts them.
QByteArray encode(QStringView text, qsizetype *replaced = nullptr);

bool canEncode(QStringView text);

// Fast paths for the import and export, which work on raw bytes.
// Appends the UTF-8 form of the Windows-1252 bytes [begin, end).
void appendAsUtf8(const char *begin, const char *end, QByteArray &out);

// Appends at most maxChars characters of the UTF-8 text as Windows-1252 and returns how many it
// appended; unencodable characters count one each and become '?'.
qsizetype appendFromUtf8(const char *utf8, qsizetype length, qsizetype maxChars, QByteArray &out,
                         qsizetype *replaced);

// Writes at most maxChars characters of the UTF-8 text as Windows-1252 into out (which has room
// for maxChars bytes) and returns how many it wrote; unencodable characters become '?'.
// *consumed (when given) gets the number of input bytes used: less than length when cut.
qsizetype writeFromUtf8(const char *utf8, qsizetype length, qsizetype maxChars, char *out,
                        qsizetype *replaced, qsizetype *consumed = nullptr);

// Whether Windows-1252 holds every character of the UTF-8 text.
bool canEncodeUtf8(const char *utf8, qsizetype length);

} // namespace Cp1252
