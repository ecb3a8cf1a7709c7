#include "edit/NewGroup.h"

#include "core/AppError.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/WorkingDatabase.h"

namespace NewGroup {

namespace {

// The characters with codes 48 to 59: the digits, ":" and ";".
bool isDigitColonOrSemicolon(QChar c)
{
    return c.unicode() >= 48 && c.unicode() <= 59;
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isHash(QChar c)
{
    return c == QLatin1Char('#');
}

template <typename Allowed> bool allOf(const QString &text, Allowed allowed)
{
    for (const QChar c : text) {
        if (!allowed(c))
            return false;
    }
    return true;
}

int declaredSize(Database &db, const char *table, const QString &name)
{
    for (const ColumnInfo &column : db.columns(QLatin1String(table))) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column.size;
    }
    return 0;
}

// RAD, BL_NAME, TYP and BENÄMNING of an article table, as the table spells them.
QString articleInsert(Database &db, const char *table)
{
    const QStringList columns{
        Schema::requiredColumn(db, table, Schema::kRowNumber),
        Schema::requiredColumn(db, table, Schema::kBlockName),
        Schema::requiredColumn(db, table, Schema::kType),
        Schema::requiredColumn(db, table, Schema::kDesignation),
    };
    QStringList quoted;
    for (const QString &column : columns)
        quoted << quoteIdentifier(column);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?)")
        .arg(quoteIdentifier(QLatin1String(table)), quoted.join(QStringLiteral(", ")));
}

} // namespace

int codeLength(Kind kind)
{
    return kind == Kind::Article ? 2 : 3;
}

QString designedPrefixLabel(Kind kind)
{
    return prefixLabel(kind, QStringLiteral("VMKB"));
}

QString prefixLabel(Kind kind, const QString &libraryPrefix)
{
    return libraryPrefix + (kind == Kind::Article ? QLatin1Char('I') : QLatin1Char('#'));
}

QString suffix(Kind kind)
{
    return kind == Kind::Article ? QStringLiteral("0") : QString();
}

QString blockNameHelp(Kind kind, const QString &prefixLabel)
{
    if (kind == Kind::Article)
        return QStringLiteral(
                   "Blocknamnet är bibliotekets prefix följt av \"I\", en kod på två tecken och "
                   "\"0\", till exempel %1.\n\nKoden får innehålla A–Z, a–z, 0–9, \":\" och "
                   "\";\" och får inte redan användas av en annan grupp. Artiklarna får typerna 1, "
                   "2, 3 … (med \"Säkring\" F1, F2 …, med \"Plint\" T1, T2 …).")
            .arg(prefixLabel + QStringLiteral("MS") + suffix(kind));
    return QStringLiteral(
               "Blocknamnet är bibliotekets prefix följt av \"#\" och en kod på tre tecken, till "
               "exempel %1.\n\nKoden får innehålla A–Z, a–z, 0–9, \":\", \";\" och \"#\" och "
               "får inte redan användas av en annan grupp. Benämningen ska börja med "
               "tillbehörsprefixet (Verktyg › Alternativ), annars visas gruppen inte i "
               "listan över tillbehörsgrupper.")
        .arg(prefixLabel + QStringLiteral("K01"));
}

QString specialLetter(Special special)
{
    switch (special) {
    case Special::Fuse:
        return QStringLiteral("F");
    case Special::Terminal:
        return QStringLiteral("T");
    case Special::None:
        break;
    }
    return {};
}

int initialNumber(Kind kind)
{
    return kind == Kind::Article ? 30 : 10;
}

NumberLimits numberLimits(Special special)
{
    return special == Special::None ? NumberLimits{3, kSliderMaximum} : NumberLimits{2, 99};
}

bool acceptableCode(Kind kind, const QString &text)
{
    if (kind == Kind::Article)
        return allOf(text, [](QChar c) { return isAsciiLetter(c) || isDigitColonOrSemicolon(c); });
    return allOf(
        text, [](QChar c) { return isAsciiLetter(c) || isHash(c) || isDigitColonOrSemicolon(c); });
}

bool acceptableNumber(Kind kind, const QString &text)
{
    if (kind == Kind::Article)
        return allOf(text, isDigitColonOrSemicolon);
    return allOf(text, [](QChar c) { return isHash(c) || isDigitColonOrSemicolon(c); });
}

std::optional<int> numberValue(const QString &text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        // Past the 16-bit range the exact value no longer matters, only that it is too large.
        value = qMin(value * 10 + (c.unicode() - '0'), kLargestNumber + 1);
    }
    return value;
}

QString readLibraryPrefix(Database &db)
{
    // The first group in the order the groups were added.
    const QVariant first = db.scalar(QStringLiteral(
        "SELECT BL_NAME FROM Designations WHERE BL_NAME IS NOT NULL ORDER BY rowid LIMIT 1"));
    return first.isValid() ? first.toString().left(4) : QString();
}

QStringList readUsedCodes(Database &db, Kind kind)
{
    QStringList codes;
    Statement st = db.prepare(QStringLiteral("SELECT BL_NAME FROM Designations"));
    while (st.step())
        codes << st.text(0).mid(5, codeLength(kind));
    return codes;
}

int descriptionLength(Database &db)
{
    return declaredSize(db, Schema::kArticles, Schema::kDesignation);
}

QString codeLengthMessage(Kind kind)
{
    return QStringLiteral("Koden ska ha %1 tecken.").arg(codeLength(kind));
}

QString accessoryPrefixWarning(const QString &description, const QString &accessoryPrefix)
{
    if (accessoryPrefix.isEmpty() || description.startsWith(accessoryPrefix, Qt::CaseInsensitive))
        return {};
    return QStringLiteral("Benämningen börjar inte med tillbehörsprefixet '%1', så gruppen visas "
                          "inte i listan över tillbehörsgrupper.")
        .arg(accessoryPrefix);
}

Verdict validate(Kind kind, const QString &code, const QString &description,
                 const QString &numberText, const QStringList &usedCodes)
{
    using State = Verdict::State;
    if (code.size() != codeLength(kind))
        return {State::Incomplete, codeLengthMessage(kind)};
    if (usedCodes.contains(code, Qt::CaseInsensitive))
        return {State::Invalid, kind == Kind::Article ? kCodeUsed : kAccessoryCodeUsed};
    if (description.size() < 2)
        return {State::Invalid, kDescriptionTooShort};
    const std::optional<int> number = numberValue(numberText);
    if (!number)
        return {State::NotANumber, {}};
    if (*number < 1)
        return {State::Invalid, kNumberTooSmall};
    if (*number > kLargestNumber)
        return {State::Invalid, kNumberTooLarge};
    return {State::Valid, {}};
}

QString blockName(const Request &request)
{
    return (request.prefixLabel + request.code + suffix(request.kind)).toUpper();
}

Rows plan(const Request &request, qint64 highestRow)
{
    Rows rows;
    rows.blockName = blockName(request);
    rows.description = request.description;
    const QString letter =
        request.kind == Kind::Article ? specialLetter(request.special) : QString();
    qint64 row = highestRow;
    rows.articles.reserve(size_t(request.number) + 1);
    for (int k = 0; k <= request.number; ++k)
        rows.articles.push_back(
            {++row, letter + (k == 0 ? QStringLiteral("-") : QString::number(k))});
    if (request.kind == Kind::Article) {
        rows.equivalenceRow = ++row;
        rows.equivalenceBlockName =
            (request.prefixLabel.left(4) + QLatin1Char('*') + request.code + QLatin1Char('*'))
                .toUpper();
        rows.equivalenceDesignation = QLatin1Char('=') + rows.blockName;
    }
    return rows;
}

Rows write(Database &db, const Request &request)
{
    if (request.number < 1 || request.number > kLargestNumber)
        throw AppError(
            ErrorNumber::Overflow,
            QStringLiteral("Antalet artiklar måste vara mellan 1 och %1.").arg(kLargestNumber));

    Transaction transaction(db);
    // Numbered inside the transaction, so no other writer can take the same row numbers.
    const Rows rows = plan(request, GetMaxRow(db));

    Statement article = db.prepare(articleInsert(db, Schema::kArticles));
    for (const ArticleRow &row : rows.articles) {
        article.bind(1, row.row)
            .bind(2, rows.blockName)
            .bind(3, row.type)
            .bind(4, rows.description)
            .run();
        article.reset();
    }

    if (rows.equivalenceRow) {
        db.prepare(articleInsert(db, Schema::kEqv))
            .bind(1, *rows.equivalenceRow)
            .bind(2, rows.equivalenceBlockName)
            .bind(3, QString())
            .bind(4, rows.equivalenceDesignation)
            .run();
    }

    // The group's description is cut to its column, as the import does.
    const QString nameColumn =
        Schema::requiredColumn(db, Schema::kDesignations, Schema::kBlockName);
    const QString descriptionColumn =
        Schema::requiredColumn(db, Schema::kDesignations, Schema::kDescription);
    const int descriptionSize = declaredSize(db, Schema::kDesignations, descriptionColumn);
    db.prepare(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                   .arg(quoteIdentifier(QLatin1String(Schema::kDesignations)),
                        quoteIdentifier(nameColumn), quoteIdentifier(descriptionColumn)))
        .bind(1, rows.blockName)
        .bind(2, descriptionSize > 0 ? rows.description.left(descriptionSize) : rows.description)
        .run();

    transaction.commit();
    return rows;
}

QString addedMessage(Kind kind, const QString &description)
{
    if (kind == Kind::Article)
        return QStringLiteral("Artikelgrupp '") + description + QStringLiteral("' adderad.");
    return QStringLiteral("Tillbehörsgruppgrupp '") + description + QStringLiteral("' adderad.");
}

} // namespace NewGroup
