#pragma once

#include <QString>

// Default settings for a first start or after an upgrade: when no toolbar layout has been saved
// yet, or the stored program version is older than this one, the keys of "Init.ini" beside the
// executable are copied into the user's settings.
namespace FirstRun {

// major.minor of this program, as compared with the stored "Version".
QString currentVersion();
// major.minor.revision, as stored on every normal exit.
QString fullVersion();

bool needsDefaults();
// Returns true when it copied the defaults.
bool importDefaults(const QString &programFolder);

} // namespace FirstRun
