#pragma once

#include <QString>
#include <QStringList>

// The four most recently used working databases, stored in section "Main" as 0RecentFile ..
// 3RecentFile, and "LastFileName", the path most recently added.
namespace RecentFiles {

inline constexpr int kSlots = 4;

// Slots 0..3 in order; empty texts for empty slots.
QStringList entries();

// A new path goes to slot 0 and shifts the others down (the oldest drops out); a path already
// listed (ignoring case) keeps the order. Either way "LastFileName" becomes the path.
void AddRecentFile(const QString &path);

} // namespace RecentFiles
