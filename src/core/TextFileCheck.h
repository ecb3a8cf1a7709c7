#pragma once

#include <QByteArray>
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

    // The same check over a file read in pieces: feed each piece in turn, then ask result().
    // A NUL ends the check at once, so a binary file need not be read to its end.
    class Scanner
    {
    public:
        void feed(QByteArrayView piece);
        bool isBinary() const { return m_nulLine > 0; }
        TextFileCheck result() const;
        qint64 lineCount() const; // as countLines() of all pieces together

    private:
        qsizetype m_nulLine = 0; // 1-based line of the first NUL; 0 while none was seen
        qint64 m_lineBreaks = 0;
        qint64 m_bytes = 0;
        bool m_endsWithBreak = false;
        // UTF-8: a byte-order mark, a multi-byte sequence seen, an invalid one seen, the
        // continuation bytes still expected, and the first bytes kept to see the mark.
        bool m_sawMultiByte = false;
        bool m_invalid = false;
        int m_pending = 0;
        QByteArray m_head;
    };
};

// Refuses a binary file and asks before reading a UTF-8 file as Windows-1252; true when the
// bytes may be read. `shownPath` names the file in the messages.
bool confirmReadableText(QByteArrayView data, const QString &shownPath, Prompter &prompter);
bool confirmReadableText(const TextFileCheck &check, const QString &shownPath, Prompter &prompter);
