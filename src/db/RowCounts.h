#pragma once

#include <QByteArrayView>
#include <QString>

class Prompter;

// The number of lines of a text file (a last line without a line end counts); 0 and a message
// when the file does not exist.
qint64 RowsInFile(const QString &fileName, Prompter &prompter);

// The same count over bytes already in memory.
qint64 countLines(QByteArrayView data);
