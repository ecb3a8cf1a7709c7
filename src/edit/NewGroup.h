#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Database;

// A new article or accessory group, written in one step: its Designations row, a numbered block
// of article rows and, for an article group, the Eqv row that names the group.
namespace NewGroup {

enum class Kind { Article, Accessory };

// The "Säkring" and "Plint" boxes of an article group; the letter leads every type text, so the
// lists the groups end up in can tell them apart.
enum class Special { None, Fuse, Terminal };

// Type numbers are 16-bit in the exchange files.
inline constexpr int kLargestNumber = 32767;

// Characters of the code: 2 for an article group, 3 for an accessory group.
int codeLength(Kind kind);
// The prefix label before any group exists.
QString designedPrefixLabel(Kind kind);
// The library prefix followed by "I" (article group) or "#" (accessory group).
QString prefixLabel(Kind kind, const QString &libraryPrefix);
// What follows the code in a block name: "0" for an article group, nothing otherwise.
QString suffix(Kind kind);
// What the "?" beside the code explains: how the block name is made and what the code may hold,
// with an example that starts with the prefix label the dialog shows.
QString blockNameHelp(Kind kind, const QString &prefixLabel);
// "F", "T" or "".
QString specialLetter(Special special);

// Where the number slider starts: 30 articles (accessory group: 10).
int initialNumber(Kind kind);

// The number box and slider once a group-kind box was clicked: two digits up to 99 while
// "Säkring" or "Plint" is ticked, three digits up to 200 otherwise.
struct NumberLimits
{
    int maxLength;
    int sliderMaximum;
};
NumberLimits numberLimits(Special special);
inline constexpr int kSliderMaximum = 200;

// What the code and number boxes let through, applied to their whole text so pasting obeys the
// same rule: article code the letters A-Z, a-z and "0".."9", ":", ";"; accessory code the same
// and "#" (the catalogues name accessory groups like "K01"); accessory number "0".."9", ":",
// ";", "#"; article number only "0".."9", ":", ";".
bool acceptableCode(Kind kind, const QString &text);
bool acceptableNumber(Kind kind, const QString &text);

// The number box read as "0" followed by its text, so an empty box is 0; values past
// kLargestNumber are kept just above it. Nothing when the text is not a number.
std::optional<int> numberValue(const QString &text);

// The first four characters of the block name of the first group; empty without groups.
QString readLibraryPrefix(Database &db);
// The code part of every group's block name (characters 6-7, or 6-8 for accessory groups),
// whatever kind of group it is.
QStringList readUsedCodes(Database &db, Kind kind);
// The defined size of Articles' BENÄMNING; 0 when the table has no such column.
int descriptionLength(Database &db);

// "Koden ska ha 2 tecken." (3 for an accessory group).
QString codeLengthMessage(Kind kind);
inline const QString kCodeUsed = QStringLiteral("Block-kod används redan.");
inline const QString kAccessoryCodeUsed = QStringLiteral("Tillbehörsgrupp används redan.");
inline const QString kDescriptionTooShort = QStringLiteral("Benämning saknas eller är för kort.");
inline const QString kNumberTooSmall = QStringLiteral("Ange antal > 0.");
inline const QString kNumberTooLarge = QStringLiteral("Antalet får vara högst 32767.");

struct Verdict
{
    enum class State {
        Incomplete, // the code does not have its length yet; message says so, cannot save
        Invalid,    // message says why; cannot save
        Valid,
        NotANumber, // the number box holds ":", ";" or "#"; the save button keeps its state
    };
    State state = State::Incomplete;
    QString message;
};

// The rules in order; the first failing one decides. The used codes compare ignoring case.
Verdict validate(Kind kind, const QString &code, const QString &description,
                 const QString &numberText, const QStringList &usedCodes);

// The picker lists only the groups whose description begins with the accessory prefix
// (ignoring case). For an accessory group that does not, this says why it will not be offered
// there; empty otherwise.
QString accessoryPrefixWarning(const QString &description, const QString &accessoryPrefix);

struct Request
{
    Kind kind = Kind::Article;
    QString prefixLabel; // as shown, e.g. "ABCDI"
    QString code;
    QString description;
    int number = 0; // articles after the leading row
    Special special = Special::None;
};

struct ArticleRow
{
    qint64 row = 0;
    QString type;
};

// Everything one save writes.
struct Rows
{
    QString blockName;
    QString description;
    std::vector<ArticleRow> articles; // the leading row, then 1..number
    // The Eqv row of an article group: prefix*code* = "=" + block name.
    std::optional<qint64> equivalenceRow;
    QString equivalenceBlockName;
    QString equivalenceDesignation;
};

// Upper case of prefix label + code + suffix.
QString blockName(const Request &request);
// The rows of the group, numbered on from highestRow.
Rows plan(const Request &request, qint64 highestRow);

// Writes the group in one transaction, numbered on from GetMaxRow: all its rows or, on any
// failure (a number out of range, a missing column, a locked database), none. Throws AppError.
Rows write(Database &db, const Request &request);

// The information text after a save.
QString addedMessage(Kind kind, const QString &description);

} // namespace NewGroup
