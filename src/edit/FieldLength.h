#pragma once

#include <QString>

#include <functional>

class Database;
class Prompter;

// Changing the declared length of one text column of the article tables (Articles and Eqv
// always together, as they share their columns).
namespace FieldLength {

inline constexpr int kShortest = 5;
inline constexpr int kLongest = 255;

// The length box read as "0" followed by its text, so an empty box is 0; -1 when the text
// holds anything but the digits 0-9 or is too long to be a number.
int lengthValue(const QString &text);

// What the length box may hold: digits only, worth at most kLongest.
bool acceptableInput(const QString &text);

enum class Outcome {
    Refused, // length out of range, or shortening declined: nothing changed, the dialog stays
    Failed,  // the change failed and was rolled back; the failure was reported
    Changed, // both tables hold the new length: close the database and open it again
};

// "Utför": checks the length (5..255), asks before shortening and, unless declined, changes
// `column` in both tables in one transaction. `currentSize` is the column's size as text.
// Every message goes through the prompter. `busy` (if given) is called with true just before
// the tables are rebuilt and with false afterwards, before any failure is reported: the rebuild
// of a large catalogue takes a moment.
Outcome apply(Database &db, Prompter &prompter, const QString &column, const QString &currentSize,
              const QString &lengthText, const std::function<void(bool)> &busy = {});

// The database side: declares `column` (matched ignoring case) as VARCHAR(newSize) in Articles
// and Eqv, rebuilding each table with its column order, rows (and row ids), indexes, triggers
// and the column descriptions unchanged. With `cutValues`, longer values are first cut to
// newSize characters; without it no value is changed. One transaction: on any failure it throws
// (AppError) and both tables are as before.
void changeColumnSize(Database &db, const QString &column, int newSize, bool cutValues);

// The characters of the longest value of `column` in Articles and Eqv; 0 when all are empty.
int longestValue(Database &db, const QString &column);

} // namespace FieldLength
