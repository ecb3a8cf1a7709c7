#include "browse/PackedCells.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <utility>

// Layout: 4 bytes total size, 1 byte encoding (0 Latin-1, 1 UTF-8), then per cell a length
// (7 bits a byte, high bit: more follows) and its bytes.

namespace {

constexpr qsizetype kHeader = 5;

void appendLength(QByteArray &out, qsizetype length)
{
    auto value = std::uint64_t(length);
    while (value >= 0x80) {
        out.append(char((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

const char *readLength(const char *p, qsizetype &length)
{
    std::uint64_t value = 0;
    int shift = 0;
    unsigned char byte = 0;
    do {
        byte = static_cast<unsigned char>(*p++);
        value |= std::uint64_t(byte & 0x7F) << shift;
        shift += 7;
    } while (byte & 0x80);
    length = qsizetype(value);
    return p;
}

bool fitsLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// True when the UTF-8 text is valid and holds only characters below U+0100.
bool utf8IsLatin1(const char *utf8, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80)
            continue;
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 >= length ||
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) != 0x80)
            return false;
        ++i;
    }
    return true;
}

void appendUtf8AsLatin1(QByteArray &out, const char *utf8, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out.append(char(byte));
        } else {
            out.append(
                char(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
            ++i;
        }
    }
}

} // namespace

PackedCells::PackedCells(int count)
{
    const QByteArray empty(qMax(count, 0), '\0');
    *this = make(true, empty.constData(), empty.size());
}

PackedCells::PackedCells(const PackedCells &other)
{
    if (other.m_data) {
        const std::uint32_t size = other.byteSize();
        m_data = std::make_unique_for_overwrite<char[]>(size);
        std::memcpy(m_data.get(), other.m_data.get(), size);
    }
}

PackedCells &PackedCells::operator=(const PackedCells &other)
{
    if (this != &other)
        *this = PackedCells(other);
    return *this;
}

PackedCells PackedCells::make(bool latin1, const char *cells, qsizetype length)
{
    PackedCells packed;
    const auto size = std::uint32_t(kHeader + length);
    packed.m_data = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(packed.m_data.get(), &size, 4);
    packed.m_data[4] = latin1 ? 0 : 1;
    if (length > 0)
        std::memcpy(packed.m_data.get() + kHeader, cells, size_t(length));
    return packed;
}

std::uint32_t PackedCells::byteSize() const
{
    if (!m_data)
        return 0;
    std::uint32_t size = 0;
    std::memcpy(&size, m_data.get(), 4);
    return size;
}

bool PackedCells::isLatin1() const
{
    return !m_data || m_data[4] == 0;
}

PackedCells::Span PackedCells::span(int index) const
{
    if (!m_data || index < 0)
        return {nullptr, 0};
    const char *p = m_data.get() + kHeader;
    const char *end = m_data.get() + byteSize();
    qsizetype length = 0;
    for (int i = 0; p < end; ++i) {
        p = readLength(p, length);
        if (i == index)
            return {p, length};
        p += length;
    }
    return {nullptr, 0};
}

QString PackedCells::cell(int index) const
{
    const Span s = span(index);
    if (s.length == 0)
        return {};
    return isLatin1() ? QString::fromLatin1(s.data, s.length) : QString::fromUtf8(s.data, s.length);
}

int PackedCells::compareBytes(const char *a, qsizetype lengthA, const char *b, qsizetype lengthB)
{
    const qsizetype common = qMin(lengthA, lengthB);
    if (common > 0) {
        if (const int c = std::memcmp(a, b, size_t(common)); c != 0)
            return c;
    }
    return lengthA < lengthB ? -1 : lengthA > lengthB ? 1 : 0;
}

int PackedCells::compare(const PackedCells &a, int indexA, const PackedCells &b, int indexB)
{
    return a.key(indexA).compare(b.key(indexB));
}

PackedCells::Key PackedCells::key(int index) const
{
    const Span s = span(index);
    return {s.data, s.length, isLatin1()};
}

int PackedCells::Key::compare(const Key &other) const
{
    // Latin-1 bytes are the characters' code units, so bytes order as the text does.
    if (latin1 && other.latin1)
        return compareBytes(data, length, other.data, other.length);
    auto text = [](const Key &k) {
        return k.latin1 ? QString::fromLatin1(k.data, k.length)
                        : QString::fromUtf8(k.data, k.length);
    };
    return text(*this).compare(text(other));
}

void PackedCells::toUtf8()
{
    if (!m_data || !isLatin1())
        return;
    QByteArray cells;
    const char *p = m_data.get() + kHeader;
    const char *end = m_data.get() + byteSize();
    qsizetype length = 0;
    while (p < end) {
        p = readLength(p, length);
        const QByteArray utf8 = QString::fromLatin1(p, length).toUtf8();
        appendLength(cells, utf8.size());
        cells.append(utf8);
        p += length;
    }
    *this = make(false, cells.constData(), cells.size());
}

void PackedCells::setCell(int index, QStringView text)
{
    if (!m_data || index < 0)
        return;
    if (isLatin1() && !fitsLatin1(text))
        toUtf8();
    const Span old = span(index);
    if (!old.data)
        return;
    const QByteArray bytes = isLatin1() ? text.toLatin1() : text.toUtf8();
    // Find where the old cell's length starts: walk back over its length bytes.
    const char *start = m_data.get() + kHeader;
    {
        const char *p = start;
        qsizetype length = 0;
        for (int i = 0; i < index; ++i) {
            p = readLength(p, length);
            p += length;
        }
        start = p;
    }
    const char *begin = m_data.get() + kHeader;
    const char *end = m_data.get() + byteSize();
    QByteArray cells;
    cells.reserve(qsizetype(end - begin) + bytes.size() + 4);
    cells.append(begin, start - begin);
    appendLength(cells, bytes.size());
    cells.append(bytes);
    const char *after = old.data + old.length;
    cells.append(after, end - after);
    *this = make(isLatin1(), cells.constData(), cells.size());
}

bool PackedCells::Builder::addShortLatin1(const char *utf8, qsizetype length)
{
    // Converted in one pass into place; the one length byte is written after.
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + 1 + length);
    char *const start = m_bytes.data() + at + 1;
    char *out = start;
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            *out++ = char(byte);
            continue;
        }
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 >= length ||
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) != 0x80) {
            m_bytes.resize(at);
            return false;
        }
        *out++ = char(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    }
    m_bytes[at] = char(out - start);
    m_bytes.resize(at + 1 + (out - start));
    return true;
}

void PackedCells::Builder::addUtf8(const char *utf8, qsizetype length)
{
    if (!utf8)
        length = 0;
    if (m_latin1 && length < 0x80 && addShortLatin1(utf8, length))
        return;
    if (!m_latin1) {
        appendLength(m_bytes, length);
        m_bytes.append(utf8, length);
        return;
    }
    if (utf8IsLatin1(utf8, length)) {
        qsizetype leads = 0;
        for (qsizetype i = 0; i < length; ++i)
            leads += static_cast<unsigned char>(utf8[i]) >= 0xC0 ? 1 : 0;
        appendLength(m_bytes, length - leads);
        if (leads == 0)
            m_bytes.append(utf8, length);
        else
            appendUtf8AsLatin1(m_bytes, utf8, length);
        return;
    }
    // The first cell beyond Latin-1: the cells so far are written again as UTF-8. Invalid
    // UTF-8 stays as it came; reading it gives what QString::fromUtf8 makes of it.
    QByteArray latin1 = std::exchange(m_bytes, QByteArray());
    const char *p = latin1.constData();
    const char *end = p + latin1.size();
    qsizetype cellLength = 0;
    while (p < end) {
        p = readLength(p, cellLength);
        const QByteArray cell = QString::fromLatin1(p, cellLength).toUtf8();
        appendLength(m_bytes, cell.size());
        m_bytes.append(cell);
        p += cellLength;
    }
    m_latin1 = false;
    appendLength(m_bytes, length);
    m_bytes.append(utf8, length);
}

PackedCells PackedCells::Builder::take()
{
    PackedCells packed = make(m_latin1, m_bytes.constData(), m_bytes.size());
    m_bytes.resize(0); // keeps the buffer for the next row
    m_latin1 = true;
    return packed;
}
