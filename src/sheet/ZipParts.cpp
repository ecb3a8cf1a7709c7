#include "sheet/ZipParts.h"

#include <zlib.h>

namespace {

quint32 le(const QByteArray &bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

} // namespace

ZipParts::ZipParts(QByteArray archive) : m_archive(std::move(archive))
{
    if (!m_archive.startsWith("PK")) {
        m_status = Status::NotZip;
        return;
    }
    // The end-of-directory record lies within the last 64 KiB and 22 bytes.
    qsizetype end = -1;
    for (qsizetype at = m_archive.size() - 22; at >= 0 && at >= m_archive.size() - 65557; --at) {
        if (le(m_archive, at, 4) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        m_status = Status::Damaged;
        return;
    }
    const quint32 count = le(m_archive, end + 10, 2);
    qsizetype at = le(m_archive, end + 16, 4);
    for (quint32 i = 0; i < count; ++i) {
        if (at + 46 > m_archive.size() || le(m_archive, at, 4) != 0x02014b50) {
            m_status = Status::Damaged;
            return;
        }
        const quint32 nameLength = le(m_archive, at + 28, 2);
        const quint32 extraLength = le(m_archive, at + 30, 2);
        const quint32 commentLength = le(m_archive, at + 32, 2);
        if (at + 46 + nameLength > m_archive.size()) {
            m_status = Status::Damaged;
            return;
        }
        const QString name = QString::fromUtf8(m_archive.mid(at + 46, nameLength));
        m_entries.insert(name.toCaseFolded(),
                         Entry{le(m_archive, at + 42, 4), le(m_archive, at + 20, 4),
                               le(m_archive, at + 24, 4), le(m_archive, at + 16, 4),
                               quint16(le(m_archive, at + 10, 2)),
                               quint16(le(m_archive, at + 8, 2))});
        at += 46 + nameLength + extraLength + commentLength;
    }
}

QByteArray ZipParts::part(const QString &name, Status *status) const
{
    if (status)
        *status = Status::Ok;
    const auto found = m_entries.constFind(name.toCaseFolded());
    if (found == m_entries.constEnd())
        return {};
    const Entry &e = *found;
    const auto fail = [status](Status why) {
        if (status)
            *status = why;
        return QByteArray();
    };
    if (e.flags & 1)
        return fail(Status::Encrypted);
    const qsizetype local = e.offset;
    if (local + 30 > m_archive.size() || le(m_archive, local, 4) != 0x04034b50)
        return fail(Status::Damaged);
    const qsizetype data = local + 30 + le(m_archive, local + 26, 2) + le(m_archive, local + 28, 2);
    if (data + qsizetype(e.packed) > m_archive.size())
        return fail(Status::Damaged);
    QByteArray out;
    if (e.method == 0) {
        out = m_archive.mid(data, e.packed);
    } else if (e.method == 8) {
        out.resize(e.size);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return fail(Status::Damaged);
        stream.next_in =
            reinterpret_cast<Bytef *>(const_cast<char *>(m_archive.constData() + data));
        stream.avail_in = e.packed;
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = e.size;
        const int result = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (result != Z_STREAM_END || stream.total_out != e.size)
            return fail(Status::Damaged);
    } else {
        return fail(Status::Damaged);
    }
    if (crc32(0, reinterpret_cast<const Bytef *>(out.constData()), uInt(out.size())) != e.crc)
        return fail(Status::Damaged);
    return out;
}
