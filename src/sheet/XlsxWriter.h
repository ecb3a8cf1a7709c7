#pragma once

#include "sheet/SheetWriter.h"

#include <QSet>
#include <QString>

#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;
class QTemporaryFile;

// An .xlsx workbook through libxlsxwriter. Every value is written as text in a cell formatted
// as text, so "0,12", "000123" and "1-2" stay what they are; the heading row is bold and frozen,
// and the columns are as wide as their fields. In the constant-memory mode each row goes to
// disk as it is written, so a million rows need no more memory than one (values as inline
// strings); the other mode keeps a table of shared strings. The workbook is built under a
// temporary name beside the target and renamed over it when complete.
class XlsxWriter final : public SheetWriter
{
public:
    explicit XlsxWriter(const QString &path, bool constantMemory = true);
    ~XlsxWriter() override;

    void beginSheet(const QString &name, const QList<SheetColumn> &columns) override;
    void addRow(const QStringList &values) override;
    void finish() override;
    bool holdsSheets() const override { return true; }

    // The name a sheet can carry: characters a workbook refuses become "_", at most 31
    // characters, "Blad" when empty, and different (ignoring case) from the names in `taken`,
    // by a number at its end ("Kablar (2)").
    static QString sheetName(const QString &wanted, const QSet<QString> &takenFolded);

private:
    QString m_path;
    std::unique_ptr<QTemporaryFile> m_temp;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_text = nullptr;
    lxw_format *m_heading = nullptr;
    QSet<QString> m_names; // folded, for uniqueness
    int m_row = 0;
    int m_columns = 0;
};
