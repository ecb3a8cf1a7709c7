#include "core/SwedishFold.h"

#include "core/Cp1252.h"

#include <QList>

#include <unicode/uchar.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// A primary sort key without its closing zero; empty for a character the collator ignores.
using Key = std::string;

// A fold as UTF-8; the longest, "1⁄2" for "½", takes five bytes.
struct Fold
{
    std::uint8_t size = 0;
    std::array<char, 7> bytes{};
};

// ICU's Swedish collator twice: at primary strength for keys, at its own strength (accents and
// case count) to choose among characters with the same key. Used while the table is built and,
// for a character outside it, under the table's lock.
class Collators
{
public:
    Collators() : m_primary(open()), m_full(open()) { ucol_setStrength(m_primary, UCOL_PRIMARY); }
    ~Collators()
    {
        ucol_close(m_primary);
        ucol_close(m_full);
    }
    Collators(const Collators &) = delete;
    Collators &operator=(const Collators &) = delete;

    Key key(const QString &text) const
    {
        const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
        const auto length = int32_t(text.size());
        std::array<std::uint8_t, 64> small{};
        int32_t size =
            ucol_getSortKey(m_primary, chars, length, small.data(), int32_t(small.size()));
        if (size <= int32_t(small.size()))
            return Key(reinterpret_cast<const char *>(small.data()), size > 0 ? size - 1 : 0);
        std::vector<std::uint8_t> large(size_t(size), 0);
        size = ucol_getSortKey(m_primary, chars, length, large.data(), size);
        return Key(reinterpret_cast<const char *>(large.data()), size > 0 ? size - 1 : 0);
    }

    // The Swedish order with accents and case (lowercase first), then the code point.
    bool before(char32_t a, char32_t b) const
    {
        const QString textA = character(a);
        const QString textB = character(b);
        const UCollationResult r = ucol_strcoll(
            m_full, reinterpret_cast<const UChar *>(textA.utf16()), int32_t(textA.size()),
            reinterpret_cast<const UChar *>(textB.utf16()), int32_t(textB.size()));
        return r != UCOL_EQUAL ? r == UCOL_LESS : a < b;
    }

    static QString character(char32_t c) { return QString::fromUcs4(&c, 1); }

private:
    static UCollator *open()
    {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *collator = ucol_open("sv", &status);
        if (U_FAILURE(status) || !collator) {
            ucol_close(collator);
            throw std::runtime_error("ICU collation \"sv\" missing");
        }
        return collator;
    }

    UCollator *m_primary;
    UCollator *m_full;
};

QString character(char32_t c)
{
    return Collators::character(c);
}

Fold asFold(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    Fold f;
    if (utf8.size() > qsizetype(f.bytes.size()))
        throw std::logic_error("fold too long");
    f.size = std::uint8_t(utf8.size());
    std::copy(utf8.begin(), utf8.end(), f.bytes.begin());
    return f;
}

class Table
{
public:
    Table()
    {
        QByteArray bytes(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        const QString all = Cp1252::decode(bytes);

        // The characters a fold may use: Windows-1252's own and those their compatibility forms
        // are made of (½ is 1⁄2), grouped by key. The collator ignores those without one.
        std::map<Key, std::vector<char32_t>> groups;
        for (const QChar c : all) {
            for (const char32_t part :
                 (QString(c) + QString(c).normalized(QString::NormalizationForm_KD)).toUcs4()) {
                const Key k = m_collators.key(character(part));
                if (!k.empty())
                    groups[k].push_back(part);
            }
        }
        m_byKey.emplace(Key(), QString());

        // Shorter keys first: a key that those of others make up (ß is ss) is spelt with them,
        // and only a key of its own gets a name, its first character in Swedish order (é and
        // É are e, Æ is ä).
        std::vector<const std::pair<const Key, std::vector<char32_t>> *> order;
        for (const auto &group : groups)
            order.push_back(&group);
        std::sort(order.begin(), order.end(), [](const auto *a, const auto *b) {
            return a->first.size() != b->first.size() ? a->first.size() < b->first.size()
                                                      : a->first < b->first;
        });
        for (const auto *group : order) {
            const Key &k = group->first;
            QString folded = spell(k);
            if (folded.isEmpty()) {
                const char32_t name = *std::min_element(
                    group->second.begin(), group->second.end(),
                    [this](char32_t a, char32_t b) { return m_collators.before(a, b); });
                m_names.emplace(k, name);
                folded = character(name);
            }
            m_byKey.emplace(k, folded);
        }

        for (const QChar c : all) {
            const Fold f = asFold(m_byKey.at(m_collators.key(QString(c))));
            // The ASCII path writes one byte a character; ICU gives every ASCII character one
            // weight or none.
            if (c.unicode() < 0x80 && f.size > 1)
                throw std::logic_error("ASCII fold longer than a byte");
            if (c.unicode() < m_latin.size()) {
                m_latin[c.unicode()] = f;
                m_inLatin[c.unicode()] = true;
            } else {
                m_above.emplace_back(c.unicode(), f);
            }
        }
        std::sort(m_above.begin(), m_above.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
    }

    // The fold of an ASCII character as its one byte, 0 for none.
    char ascii(std::uint8_t b) const { return m_latin[b].bytes[0]; }

    std::string_view of(char32_t c) const
    {
        if (c < m_latin.size() && m_inLatin[c])
            return {m_latin[c].bytes.data(), m_latin[c].size};
        const auto above = std::lower_bound(m_above.begin(), m_above.end(), c,
                                            [](const auto &e, char32_t v) { return e.first < v; });
        if (above != m_above.end() && above->first == c)
            return {above->second.bytes.data(), above->second.size};
        return outside(c);
    }

private:
    // A character Windows-1252 cannot hold, folded the same way when first met (ā is a, ﬁ is
    // fi); one that nothing else equals stays, lowercase.
    std::string_view outside(char32_t c) const
    {
        const std::lock_guard<std::mutex> lock(m_outsideLock);
        const auto known = m_outside.find(c);
        if (known != m_outside.end())
            return known->second;
        const Key k = m_collators.key(character(c));
        const auto named = m_byKey.find(k);
        QString folded = named != m_byKey.end() ? named->second : spell(k);
        if (folded.isEmpty() && !k.empty())
            folded = character(char32_t(u_tolower(UChar32(c))));
        return m_outside.emplace(c, folded.toStdString()).first->second;
    }

    // The named characters whose keys, one after the other, make the given key (ß is ss, þ is
    // th, ™ is tm, ½ is 1⁄2), at most four; a character is tried next only while the key so
    // far begins the wanted one. Empty when none do.
    QString spell(const Key &wanted) const
    {
        QString spelt;
        return extend(wanted, spelt, 4) ? spelt : QString();
    }

    bool extend(const Key &wanted, QString &spelt, int room) const
    {
        for (const auto &[k, name] : m_names) {
            const QString longer = spelt + character(name);
            const Key got = spelt.isEmpty() ? k : m_collators.key(longer);
            if (got.size() > wanted.size() || wanted.compare(0, got.size(), got) != 0)
                continue;
            if (got.size() == wanted.size()) {
                spelt = longer;
                return true;
            }
            QString next = longer;
            if (room > 1 && extend(wanted, next, room - 1)) {
                spelt = next;
                return true;
            }
        }
        return false;
    }

    Collators m_collators;
    // The character that names each key of one weight.
    std::map<Key, char32_t> m_names;
    // The fold of every key met.
    std::map<Key, QString> m_byKey;
    std::array<Fold, 256> m_latin{};
    std::array<bool, 256> m_inLatin{};
    // Windows-1252's characters above U+00FF, by code point.
    std::vector<std::pair<char32_t, Fold>> m_above;
    mutable std::mutex m_outsideLock;
    mutable std::map<char32_t, std::string> m_outside;
};

const Table &table()
{
    static const Table t;
    return t;
}

} // namespace

namespace SwedishFold {

QString fold(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string folded;
    appendFoldedUtf8(utf8.constData(), utf8.size(), folded);
    return QString::fromStdString(folded);
}

void appendFoldedUtf8(const char *utf8, qsizetype length, std::string &out)
{
    const Table &t = table();
    const auto *p = reinterpret_cast<const std::uint8_t *>(utf8);
    const auto *end = p + length;
    // Room for the text as it is: ASCII, most of any catalogue, never grows, so it is folded a
    // byte at a time by one look-up; only a longer fold makes room for itself.
    size_t used = out.size();
    out.resize(used + size_t(length));
    char *o = out.data() + used;
    while (p < end) {
        if (*p < 0x80) {
            const char f = t.ascii(*p++);
            *o = f;
            o += f != 0;
            continue;
        }
        const std::uint8_t b = *p;
        int extra = 0;
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        }
        const std::uint8_t *next = p + 1;
        for (int k = 0; k < extra; ++k, ++next) {
            if (next >= end || (*next & 0xC0) != 0x80) {
                extra = 0;
                break;
            }
            c = (c << 6) | (*next & 0x3F);
        }
        // A broken sequence reads as U+FFFD, as it does everywhere else.
        if (extra == 0) {
            c = 0xFFFD;
            next = p + 1;
        }
        const std::string_view f = t.of(c);
        p = next;
        used = size_t(o - out.data());
        if (used + f.size() + size_t(end - p) > out.size()) {
            out.resize(used + f.size() + size_t(end - p));
            o = out.data() + used;
        }
        o = std::copy(f.begin(), f.end(), o);
    }
    out.resize(size_t(o - out.data()));
}

} // namespace SwedishFold
