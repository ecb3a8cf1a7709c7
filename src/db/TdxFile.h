#pragma once

#include "db/FieldList.h"

#include <QByteArray>
#include <QString>

class Prompter;

// The largest .tdx file read; a real one is a few kilobytes.
inline constexpr qint64 kMaxTdxSize = 1 << 20;
// The widest field a .tdx line may declare.
inline constexpr int kMaxTdxWidth = 32767;

// The .tdx field-description file: one "name,description,width" line per field of a .tds line.

// Reads the .tdx file that belongs to tdsPath into fields. Returns the number of entries
// including RAD on success, -1 for a missing file, a format error or a declined encoding
// warning, 0 after any other error; every cause is reported through the prompter.
int ReadTdxFile(const QString &tdsPath, FieldList &fields, Prompter &prompter);

// Parses .tdx text that is already in memory; used by ReadTdxFile. `shownPath` names the file in
// messages.
int parseTdx(const QByteArray &bytes, const QString &shownPath, FieldList &fields,
             Prompter &prompter);

// The .tdx text for the given fields (RAD left out), in Windows-1252 with CR LF line ends.
QByteArray tdxText(const FieldList &fields, qsizetype *replaced = nullptr);
