#include "core/TextFileCheck.h"

#include "core/Prompter.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

} // namespace

void TextFileCheck::Scanner::feed(QByteArrayView piece)
{
    if (isBinary() || piece.isEmpty())
        return;
    if (const void *nul = std::memchr(piece.data(), 0, size_t(piece.size()))) {
        const auto offset = static_cast<const char *>(nul) - piece.data();
        m_nulLine = 1 + m_lineBreaks + piece.first(offset).count('\n');
        return;
    }
    if (m_head.size() < 3)
        m_head.append(piece.first(qMin<qsizetype>(piece.size(), 3 - m_head.size())));
    m_lineBreaks += piece.count('\n');
    m_bytes += piece.size();
    m_endsWithBreak = piece.endsWith('\n');
    // True when the bytes hold at least one multi-byte UTF-8 sequence and no invalid one; a
    // sequence may continue in the next piece.
    for (qsizetype i = 0; i < piece.size() && !m_invalid; ++i) {
        const auto b = std::uint8_t(piece[i]);
        if (m_pending > 0) {
            if ((b & 0xC0) != 0x80)
                m_invalid = true;
            else if (--m_pending == 0)
                m_sawMultiByte = true;
            continue;
        }
        if (b < 0x80)
            continue;
        if (b >= 0xC2 && b <= 0xDF)
            m_pending = 1;
        else if (b >= 0xE0 && b <= 0xEF)
            m_pending = 2;
        else if (b >= 0xF0 && b <= 0xF4)
            m_pending = 3;
        else
            m_invalid = true;
    }
}

TextFileCheck TextFileCheck::Scanner::result() const
{
    TextFileCheck result;
    if (isBinary()) {
        result.kind = Kind::Binary;
        result.nulLine = m_nulLine;
        return result;
    }
    const bool marked =
        m_head.size() == 3 && std::memcmp(m_head.constData(), kByteOrderMark, 3) == 0;
    if (marked || (m_sawMultiByte && !m_invalid && m_pending == 0))
        result.kind = Kind::Utf8;
    return result;
}

qint64 TextFileCheck::Scanner::lineCount() const
{
    if (m_bytes == 0)
        return 0;
    return m_endsWithBreak ? m_lineBreaks : m_lineBreaks + 1;
}

TextFileCheck TextFileCheck::of(QByteArrayView data)
{
    Scanner scanner;
    scanner.feed(data);
    return scanner.result();
}

bool confirmReadableText(QByteArrayView data, const QString &shownPath, Prompter &prompter)
{
    return confirmReadableText(TextFileCheck::of(data), shownPath, prompter);
}

bool confirmReadableText(const TextFileCheck &check, const QString &shownPath, Prompter &prompter)
{
    if (check.kind == TextFileCheck::Kind::Binary) {
        prompter.warning(QStringLiteral("Filen %1 är ingen textfil (NUL-tecken på rad %2). "
                                        "Inget lästes in.")
                             .arg(shownPath)
                             .arg(check.nulLine),
                         QStringLiteral("Inläsningsfel"));
        return false;
    }
    if (check.kind == TextFileCheck::Kind::Utf8)
        return prompter.question(MessageIcon::Warning, QStringLiteral("Teckenkodning"),
                                 QStringLiteral("Filen %1\när sparad som UTF-8, inte som "
                                                "Windows-1252. Å, Ä och Ö blir fel om den läses in "
                                                "ändå.\nVill du fortsätta?")
                                     .arg(shownPath));
    return true;
}
