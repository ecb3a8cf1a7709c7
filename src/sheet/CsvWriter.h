#pragma once

#include "sheet/SheetWriter.h"

#include <QSaveFile>

// CSV as RFC 4180 puts it, in UTF-8 with a byte-order mark (so a spreadsheet knows the
// encoding): a value holding the separator, a quote or a line break is quoted, quotes doubled;
// lines end in CR LF.
class CsvWriter final : public SheetWriter
{
public:
    CsvWriter(const QString &path, CsvSeparator separator);

    void beginSheet(const QString &name, const QList<SheetColumn> &columns) override;
    void addRow(const QStringList &values) override;
    void finish() override;
    bool holdsSheets() const override { return false; }

    // One line of values as written, without the line end.
    static QString line(const QStringList &values, QChar separator);

private:
    void write(const QString &text);

    QSaveFile m_file;
    QChar m_separator;
    bool m_headed = false;
    QByteArray m_buffer;
};
