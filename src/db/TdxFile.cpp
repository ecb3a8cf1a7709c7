#include "db/TdxFile.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Prompter.h"
#include "core/TextFileCheck.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

// Trims blanks only: a tab stays part of the item.
QString trimSpaces(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

int parseWidth(const QString &text)
{
    bool ok = false;
    const qlonglong width = text.toLongLong(&ok);
    if (!ok)
        throw AppError(ErrorNumber::TypeMismatch,
                       QStringLiteral("Typerna stämmer inte överens: bredden '%1' är inget heltal.")
                           .arg(text));
    if (width < 0 || width > kMaxTdxWidth)
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: bredden %1 ligger utanför 0..32767.").arg(text));
    return int(width);
}

} // namespace

int ReadTdxFile(const QString &tdsPath, FieldList &fields, Prompter &prompter)
{
    const QString path = Paths::siblingOnDisk(Paths::tdxPathFor(tdsPath));
    if (!QFileInfo(path).isFile()) {
        prompter.warning(QStringLiteral("Hittar ej filen ") + path, QStringLiteral("Filfel"));
        return -1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompter.message(MessageIcon::None, QString(),
                         errorMessage(kMainWindow, QStringLiteral("ReadTdxFile"),
                                      ErrorNumber::PermissionDenied, file.errorString()));
        return 0;
    }
    // A field description is a few lines; anything far larger is not one, and is not read whole.
    const QByteArray bytes = file.read(kMaxTdxSize + 1);
    // A read that failed is no empty field description.
    if (file.error() != QFileDevice::NoError) {
        prompter.warning(
            QStringLiteral("Filen %1 kunde inte läsas (läsfel på disken eller i nätverket).")
                .arg(path),
            QStringLiteral("Inläsningsfel"));
        return -1;
    }
    if (file.size() > kMaxTdxSize || bytes.size() > kMaxTdxSize) {
        prompter.warning(QStringLiteral("Filen %1 är för stor för en fältbeskrivning (mer än "
                                        "1 MiB). Inget lästes in.")
                             .arg(path),
                         QStringLiteral("Inläsningsfel"));
        return -1;
    }
    return parseTdx(bytes, path, fields, prompter);
}

int parseTdx(const QByteArray &bytes, const QString &shownPath, FieldList &fields,
             Prompter &prompter)
{
    if (!confirmReadableText(bytes, shownPath, prompter))
        return -1;

    fields = rowNumberOnlyFieldList();
    int start = 1;
    int entry = 1;
    try {
        const QList<QByteArray> lines = bytes.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray raw = lines.at(i);
            if (raw.endsWith('\r'))
                raw.chop(1);
            if (raw.isEmpty())
                continue;
            QString line = Cp1252::decode(raw);
            line.replace(QLatin1Char(':'), QLatin1Char('_'));
            const QStringList items = line.split(QLatin1Char(','));
            if (items.size() != 3) {
                prompter.warning(QStringLiteral("Formatfel i filen ") + shownPath +
                                     QStringLiteral(" på rad ") + QString::number(entry + 1),
                                 QStringLiteral("Inläsningsfel"));
                return -1;
            }
            FieldDesc field;
            field.Name = trimSpaces(items.at(0));
            field.Description = trimSpaces(items.at(1));
            field.Length = parseWidth(trimSpaces(items.at(2)));
            field.Start = start;
            if (qlonglong(start) + field.Length > std::numeric_limits<int>::max())
                throw AppError(ErrorNumber::Overflow, QStringLiteral("Spill: posten är för lång."));
            start += field.Length;
            fields.append(field);
            ++entry;
        }
    } catch (const AppError &e) {
        prompter.message(
            MessageIcon::None, QString(),
            errorMessage(kMainWindow, QStringLiteral("ReadTdxFile"), e.number(), e.description()));
        return 0;
    }
    // Without a field every line would become a row number alone: nothing of the catalogue.
    if (fields.size() <= 1) {
        prompter.warning(shownPath + QStringLiteral(" innehåller inga fältbeskrivningar."),
                         QStringLiteral("Inläsningsfel"));
        return -1;
    }
    return int(fields.size());
}

QByteArray tdxText(const FieldList &fields, qsizetype *replaced)
{
    QByteArray out;
    for (const FieldDesc &field : fields) {
        if (field.Name == QLatin1String(kRowNumberField))
            continue;
        out += Cp1252::encode(field.Name + QLatin1Char(',') + field.Description + QLatin1Char(',') +
                                  QString::number(field.Length),
                              replaced);
        out += "\r\n";
    }
    return out;
}
