#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Tells, before anything is imported, whether bytes meant to be Windows-1252 text are really
// something else: a binary file (NUL bytes) or UTF-8 (which would import as garbled letters).
struct TextFileCheck
{
    enum class Kind { Text, Utf8, Binary };
    Kind kind = Kind::Text;
    qsizetype nulLine = 0; // 1-based line of the first NUL byte when Binary

    static TextFileCheck of(QByteArrayView data);
};
