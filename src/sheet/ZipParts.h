#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The parts of a zip archive held in memory, read through zlib: what an .xlsx reader needs
// (stored and deflated entries, names matched ignoring case, checksums verified).
class ZipParts
{
public:
    enum class Status { Ok, NotZip, Damaged, Encrypted };

    // The archive's bytes; status() tells whether its directory could be read.
    explicit ZipParts(QByteArray archive);

    Status status() const { return m_status; }
    // The entry's contents; empty when it is missing. `status` (when given) is Damaged for an
    // entry that cannot be unpacked and Encrypted for one behind a password.
    QByteArray part(const QString &name, Status *status = nullptr) const;

private:
    struct Entry
    {
        quint32 offset, packed, size, crc;
        quint16 method, flags;
    };
    QByteArray m_archive;
    QHash<QString, Entry> m_entries; // by folded name
    Status m_status = Status::Ok;
};
