#include "core/UserGuide.h"

#include "core/Paths.h"
#include "core/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("Användarhandbok");

} // namespace

QStringList UserGuide::searchPaths(const QString &programDir)
{
    return Paths::dataFileCandidates(QLatin1String(kRelativePath), programDir);
}

UserGuide::UserGuide(UrlOpener opener, QStringList paths)
    : m_opener(std::move(opener)), m_paths(std::move(paths))
{
}

bool UserGuide::open(Prompter &prompter) const
{
    const QString page = Paths::firstExisting(m_paths);
    if (page.isEmpty()) {
        QStringList shown;
        for (const QString &path : m_paths)
            shown << QDir::toNativeSeparators(path);
        prompter.error(QStringLiteral("Användarhandboken hittades inte:\n") +
                           shown.join(QLatin1Char('\n')),
                       kTitle);
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath());
    if (m_opener && m_opener(url))
        return true;
    prompter.error(QStringLiteral("Användarhandboken kunde inte öppnas: ") +
                       QDir::toNativeSeparators(page),
                   kTitle);
    return false;
}
