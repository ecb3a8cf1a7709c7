#include "sheet/HeadingMapping.h"

#include "db/Schema.h"

#include <QHash>

namespace HeadingMapping {

namespace {

// Usual headings of suppliers' lists, by the field they name.
const QList<QPair<QString, QStringList>> &usualHeadings()
{
    static const QList<QPair<QString, QStringList>> table = {
        {Schema::kArticleNumber,
         {QStringLiteral("Art.nr"), QStringLiteral("Artikelnr"), QStringLiteral("Artikelnummer"),
          QStringLiteral("Art nummer"), QStringLiteral("Article number"),
          QStringLiteral("Article no"), QStringLiteral("Art no"), QStringLiteral("Item number"),
          QStringLiteral("Item no"), QStringLiteral("Part number"), QStringLiteral("Part no"),
          QStringLiteral("Product number"), QStringLiteral("Produktnummer"),
          QStringLiteral("Varunummer"), QStringLiteral("SKU")}},
        {Schema::kManufacturer,
         {QStringLiteral("Fabrikat"), QStringLiteral("Tillverkare"), QStringLiteral("Märke"),
          QStringLiteral("Manufacturer"), QStringLiteral("Brand"), QStringLiteral("Make")}},
        {Schema::kDesignation,
         {QStringLiteral("Benämning"), QStringLiteral("Beskrivning"), QStringLiteral("Namn"),
          QStringLiteral("Produktnamn"), QStringLiteral("Artikelbenämning"),
          QStringLiteral("Description"), QStringLiteral("Name"), QStringLiteral("Product name")}},
        {QStringLiteral("BESTNR"),
         {QStringLiteral("Best.nr"), QStringLiteral("Beställningsnummer"),
          QStringLiteral("Order number"), QStringLiteral("Order no")}},
        {QStringLiteral("PRIS"),
         {QStringLiteral("Pris"), QStringLiteral("Listpris"), QStringLiteral("Bruttopris"),
          QStringLiteral("Nettopris"), QStringLiteral("Styckpris"), QStringLiteral("Price"),
          QStringLiteral("List price"), QStringLiteral("Unit price")}},
        {QStringLiteral("ENHET"), {QStringLiteral("Enhet"), QStringLiteral("Unit")}},
        {QStringLiteral("VIKT"), {QStringLiteral("Vikt"), QStringLiteral("Weight")}},
    };
    return table;
}

} // namespace

QString normalized(const QString &heading)
{
    QString out;
    for (const QChar c : heading.normalized(QString::NormalizationForm_KD)) {
        if (c.isLetterOrNumber())
            out += c.toCaseFolded();
    }
    return out;
}

QString fieldFor(const QString &heading, const FieldList &fields)
{
    const QString wanted = normalized(heading);
    if (wanted.isEmpty())
        return {};
    const auto usable = [](const FieldDesc &field) {
        return !Schema::isProtectedColumn(field.Name);
    };
    for (const FieldDesc &field : fields) {
        if (usable(field) && normalized(field.Name) == wanted)
            return field.Name;
    }
    for (const FieldDesc &field : fields) {
        if (usable(field) && !field.Description.isEmpty() &&
            normalized(field.Description) == wanted)
            return field.Name;
    }
    for (const auto &[name, headings] : usualHeadings()) {
        for (const QString &usual : headings) {
            if (normalized(usual) != wanted)
                continue;
            for (const FieldDesc &field : fields) {
                if (usable(field) && field.Name.compare(name, Qt::CaseInsensitive) == 0)
                    return field.Name;
            }
        }
    }
    return {};
}

QStringList map(const QStringList &headings, const FieldList &fields)
{
    QStringList mapping;
    for (const QString &heading : headings) {
        const QString field = fieldFor(heading, fields);
        mapping << (mapping.contains(field) ? QString() : field);
    }
    return mapping;
}

QStringList defaultKey(const QStringList &mapping)
{
    if (!mapping.contains(Schema::kArticleNumber))
        return {};
    if (mapping.contains(Schema::kManufacturer))
        return {Schema::kManufacturer, Schema::kArticleNumber};
    return {Schema::kArticleNumber};
}

} // namespace HeadingMapping
