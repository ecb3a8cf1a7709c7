#include "core/Cp1252.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

struct Tables
{
    std::array<char16_t, 256> toUnicode{};
    // UTF-8 form of each byte: length then up to three bytes.
    std::array<std::array<char, 4>, 256> utf8{};
    // Reverse map over the BMP; 0 means "not in the code page" except for U+0000.
    std::array<std::uint8_t, 0x10000> fromUnicode{};

    Tables()
    {
        QStringDecoder decoder("windows-1252");
        if (!decoder.isValid())
            throw std::runtime_error("windows-1252 codec missing");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            const char16_t c = s.isEmpty() ? char16_t(b) : char16_t(s.at(0).unicode());
            toUnicode[b] = c;
            fromUnicode[c] = std::uint8_t(b);
            const QByteArray u = QString(QChar(c)).toUtf8();
            utf8[b][0] = char(u.size());
            for (int i = 0; i < u.size() && i < 3; ++i)
                utf8[b][i + 1] = u.at(i);
        }
    }

    bool encodable(char32_t c) const { return c == 0 || (c < 0x10000 && fromUnicode[c] != 0); }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

// Decodes the multi-byte sequence at utf8[i] and moves i past it. A broken sequence becomes one
// unencodable character; the byte that broke it is kept.
char32_t nextCodePoint(const char *utf8, qsizetype length, qsizetype &i)
{
    const auto b = std::uint8_t(utf8[i]);
    char32_t c = 0xFFFD;
    int extra = 0;
    if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F;
        extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F;
        extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
        c = b & 0x07;
        extra = 3;
    }
    ++i;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= length || (std::uint8_t(utf8[i]) & 0xC0) != 0x80) {
            extra = 0;
            break;
        }
        c = (c << 6) | (std::uint8_t(utf8[i]) & 0x3F);
    }
    return extra == 0 ? char32_t(0xFFFD) : c;
}

} // namespace

namespace Cp1252 {

QString decode(QByteArrayView bytes)
{
    const Tables &t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.toUnicode[std::uint8_t(bytes[i])]);
    return out;
}

QByteArray encode(QStringView text, qsizetype *replaced)
{
    const Tables &t = tables();
    QByteArray out;
    out.reserve(text.size());
    qsizetype bad = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (t.encodable(c)) {
            out.append(char(t.fromUnicode[c]));
            continue;
        }
        // A surrogate pair is one character.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.append('?');
        ++bad;
    }
    if (replaced)
        *replaced += bad;
    return out;
}

bool canEncode(QStringView text)
{
    const Tables &t = tables();
    for (QChar c : text) {
        if (!t.encodable(c.unicode()))
            return false;
    }
    return true;
}

void appendAsUtf8(const char *begin, const char *end, QByteArray &out)
{
    const Tables &t = tables();
    // Room for the longest form (three bytes a character), written without a check per byte.
    const qsizetype start = out.size();
    out.resize(start + 3 * (end - begin));
    char *o = out.data() + start;
    for (const char *p = begin; p < end; ++p) {
        const auto b = std::uint8_t(*p);
        if (b < 0x80) {
            *o++ = char(b);
        } else {
            const auto &u = t.utf8[b];
            std::memcpy(o, u.data() + 1, size_t(u[0]));
            o += u[0];
        }
    }
    out.resize(o - out.constData());
}

qsizetype writeFromUtf8(const char *utf8, qsizetype length, qsizetype maxChars, char *out,
                        qsizetype *replaced, qsizetype *consumed)
{
    const Tables &t = tables();
    qsizetype chars = 0;
    qsizetype i = 0;
    while (i < length && chars < maxChars) {
        const auto b = std::uint8_t(utf8[i]);
        if (b < 0x80) {
            out[chars++] = char(b);
            ++i;
            continue;
        }
        const char32_t c = nextCodePoint(utf8, length, i);
        if (t.encodable(c)) {
            out[chars++] = char(t.fromUnicode[c]);
        } else {
            out[chars++] = '?';
            if (replaced)
                ++*replaced;
        }
    }
    if (consumed)
        *consumed = i;
    return chars;
}

bool canEncodeUtf8(const char *utf8, qsizetype length)
{
    const Tables &t = tables();
    for (qsizetype i = 0; i < length;) {
        if (std::uint8_t(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        if (!t.encodable(nextCodePoint(utf8, length, i)))
            return false;
    }
    return true;
}

qsizetype appendFromUtf8(const char *utf8, qsizetype length, qsizetype maxChars, QByteArray &out,
                         qsizetype *replaced)
{
    const qsizetype start = out.size();
    out.resize(start + qMin(length, maxChars));
    const qsizetype written = writeFromUtf8(utf8, length, maxChars, out.data() + start, replaced);
    out.resize(start + written);
    return written;
}

} // namespace Cp1252
