#pragma once

class QFileDialog;

// Qt's file dialog writes sizes and modification dates in the system's locale, which need not be
// Swedish ("10 Dec 2025 14:40:04"); this makes it write them as the rest of the program does
// (QLocale(), "2025-12-10 14:40"). Only Qt's own dialog has these columns; a native one is left
// as it is.
void showFileDetailsInProgramLocale(QFileDialog &dialog);

// Opens the dialog wide enough that its columns (name, size, type, date) show whole, within the
// screen.
void sizeToShowEveryColumn(QFileDialog &dialog);
