#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

class Prompter;

// Tells, before anything is imported, whether bytes meant to be Windows-1252 text are really
// something else: a binary file (NUL bytes) or UTF-8 (which would import as garbled letters).
struct TextFileCheck
{
    enum class Kind { Text, Utf8, Binary };
    Kind kind = Kind::Text;
    qsizetype nulLine = 0; // 1-based line of the first NUL byte when Binary

    static TextFileCheck of(QByteArrayView data);
};

// Refuses a binary file and asks before reading a UTF-8 file as Windows-1252; true when the
// bytes may be read. `shownPath` names the file in the messages.
bool confirmReadableText(QByteArrayView data, const QString &shownPath, Prompter &prompter);
