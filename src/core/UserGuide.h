#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Prompter;
class QUrl;

// The Swedish user guide shipped with the program: a local HTML page shown in the user's
// browser. Opening goes through `UrlOpener`, so the window hands it to the desktop and tests
// record it.
class UserGuide
{
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    static constexpr char kRelativePath[] = "help/index.html";

    // Where the page is looked for: the shipped data folders of the program in `programDir`
    // (empty: this process's), see Paths::dataFileCandidates.
    static QStringList searchPaths(const QString &programDir = {});

    explicit UserGuide(UrlOpener opener, QStringList paths = searchPaths());

    // Opens the first existing page of the search paths as a file URL. When there is none, or
    // the opener fails, says so through the prompter; false then.
    bool open(Prompter &prompter) const;

private:
    UrlOpener m_opener;
    QStringList m_paths;
};
