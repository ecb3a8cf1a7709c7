#include "core/TextFileCheck.h"

#include "core/Prompter.h"

#include <cstdint>
#include <cstring>

namespace {

// True when the bytes hold at least one multi-byte UTF-8 sequence and no invalid one.
bool looksLikeUtf8(QByteArrayView data)
{
    if (data.size() >= 3 && std::uint8_t(data[0]) == 0xEF && std::uint8_t(data[1]) == 0xBB &&
        std::uint8_t(data[2]) == 0xBF)
        return true;
    bool sawMultiByte = false;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n;) {
        const auto b = std::uint8_t(data[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        if (b >= 0xC2 && b <= 0xDF)
            extra = 1;
        else if (b >= 0xE0 && b <= 0xEF)
            extra = 2;
        else if (b >= 0xF0 && b <= 0xF4)
            extra = 3;
        else
            return false;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (std::uint8_t(data[i + k]) & 0xC0) != 0x80)
                return false;
        }
        sawMultiByte = true;
        i += extra + 1;
    }
    return sawMultiByte;
}

} // namespace

TextFileCheck TextFileCheck::of(QByteArrayView data)
{
    TextFileCheck result;
    // Empty views may have a null data pointer, which memchr must not get.
    if (data.isEmpty())
        return result;
    const void *nul = std::memchr(data.data(), 0, size_t(data.size()));
    if (nul) {
        const auto offset = static_cast<const char *>(nul) - data.data();
        result.kind = Kind::Binary;
        result.nulLine = 1 + QByteArrayView(data.data(), offset).count('\n');
        return result;
    }
    if (looksLikeUtf8(data))
        result.kind = Kind::Utf8;
    return result;
}

bool confirmReadableText(QByteArrayView data, const QString &shownPath, Prompter &prompter)
{
    const TextFileCheck check = TextFileCheck::of(data);
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
