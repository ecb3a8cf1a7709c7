#include "sheet/XlsxWriter.h"

#include "core/AppError.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <filesystem>

namespace {

[[noreturn]] void failed(const QString &path, const QString &why)
{
    throw FileError(ErrorNumber::PermissionDenied,
                    QStringLiteral("Kan ej skriva %1: %2").arg(path, why));
}

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

} // namespace

XlsxWriter::XlsxWriter(const QString &path, bool constantMemory) : m_path(path)
{
    const QFileInfo target(path);
    m_temp = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") +
                                              target.fileName() + QStringLiteral(".XXXXXX"));
    if (!m_temp->open())
        failed(path, m_temp->errorString());
    m_temp->close();
    const QByteArray file = QFile::encodeName(m_temp->fileName());
    const QByteArray tmpdir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = const_cast<char *>(tmpdir.constData());
    options.use_zip64 = LXW_TRUE;
    m_book = workbook_new_opt(file.constData(), &options);
    if (!m_book)
        failed(path, QStringLiteral("arbetsboken kunde inte skapas"));
    m_text = workbook_add_format(m_book);
    format_set_num_format(m_text, "@");
    m_heading = workbook_add_format(m_book);
    format_set_num_format(m_heading, "@");
    format_set_bold(m_heading);
}

XlsxWriter::~XlsxWriter()
{
    // Unfinished: the library's memory goes, the target stays as it was.
    if (m_book)
        lxw_workbook_free(m_book);
}

QString XlsxWriter::sheetName(const QString &wanted, const QSet<QString> &takenFolded)
{
    QString name = wanted.simplified();
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    }
    // A workbook refuses a name that starts or ends with an apostrophe.
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Blad");
    name.truncate(kSheetNameLength);
    QString candidate = name;
    for (int n = 2; takenFolded.contains(candidate.toCaseFolded()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        candidate = name.left(kSheetNameLength - int(suffix.size())) + suffix;
    }
    return candidate;
}

void XlsxWriter::beginSheet(const QString &name, const QList<SheetColumn> &columns)
{
    const QString unique = sheetName(name, m_names);
    m_names.insert(unique.toCaseFolded());
    m_sheet = workbook_add_worksheet(m_book, unique.toUtf8().constData());
    if (!m_sheet)
        failed(m_path, QStringLiteral("bladet \"%1\" kunde inte läggas till").arg(unique));
    m_row = 0;
    m_columns = int(columns.size());
    for (int c = 0; c < m_columns; ++c) {
        // A character of the field, and room for the heading.
        const int width =
            qBound(6, qMax(columns.at(c).width, int(columns.at(c).name.size())) + 2, 80);
        worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), width, m_text);
    }
    worksheet_freeze_panes(m_sheet, 1, 0);
    QStringList names;
    for (const SheetColumn &column : columns)
        names << column.name;
    const QScopedValueRollback<lxw_format *> bold(m_text, m_heading);
    addRow(names);
}

void XlsxWriter::addRow(const QStringList &values)
{
    if (!m_sheet)
        beginSheet(QString(), {});
    if (m_row >= kXlsxMaxRows)
        throw AppError(
            ErrorNumber::Overflow,
            QStringLiteral("Ett blad i en .xlsx-fil rymmer högst %1 rader.").arg(kXlsxMaxRows));
    for (qsizetype c = 0; c < values.size(); ++c) {
        if (values.at(c).isEmpty())
            continue;
        const lxw_error error = worksheet_write_string(m_sheet, lxw_row_t(m_row), lxw_col_t(c),
                                                       values.at(c).toUtf8().constData(), m_text);
        if (error != LXW_NO_ERROR)
            failed(m_path, libraryError(error));
    }
    ++m_row;
}

void XlsxWriter::finish()
{
    if (!m_sheet)
        beginSheet(QString(), {});
    lxw_workbook *book = m_book;
    m_book = nullptr; // closing frees it, whatever the outcome
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR)
        failed(m_path, libraryError(error));
    std::error_code code;
    std::filesystem::rename(QFile::encodeName(m_temp->fileName()).toStdString(),
                            QFile::encodeName(m_path).toStdString(), code);
    if (code)
        failed(m_path, QString::fromLocal8Bit(code.message()));
    m_temp->setAutoRemove(false);
    // The temporary file was private; the workbook is as readable as any file the user saves.
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ReadOther);
}
