#include "db/RowCounts.h"

#include "core/AppError.h"
#include "core/Prompter.h"

#include <QFile>
#include <QFileInfo>

qint64 countLines(QByteArrayView data)
{
    if (data.isEmpty())
        return 0;
    const qint64 breaks = data.count('\n');
    return data.endsWith('\n') ? breaks : breaks + 1;
}

qint64 RowsInFile(const QString &fileName, Prompter &prompter)
{
    if (!QFileInfo(fileName).isFile()) {
        prompter.message(MessageIcon::None, QStringLiteral("Fel i filåtkomst"),
                         QStringLiteral("Kunde ej hitta filen ") + fileName);
        return 0;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        prompter.message(MessageIcon::None, QString(),
                         errorMessage(kMainWindow, QStringLiteral("RowsInFile"),
                                      ErrorNumber::PermissionDenied, file.errorString()));
        return 0;
    }
    if (file.size() == 0)
        return 0;
    if (uchar *mapped = file.map(0, file.size()))
        return countLines(QByteArrayView(reinterpret_cast<const char *>(mapped), file.size()));
    return countLines(file.readAll());
}
