#include "compare/ComparisonReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace {

using ArticleKind = ArticleDifference::Kind;
using GroupKind = GroupDifference::Kind;
using FieldKind = FieldDifference::Kind;

const char *token(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Added:
        return "field-added";
    case FieldKind::Removed:
        return "field-removed";
    case FieldKind::Renamed:
        return "field-renamed";
    case FieldKind::Length:
        return "field-length";
    case FieldKind::Description:
        return "field-description";
    }
    return "";
}

const char *token(GroupKind kind)
{
    return kind == GroupKind::Added     ? "group-added"
           : kind == GroupKind::Removed ? "group-removed"
                                        : "group-changed";
}

const char *token(ArticleKind kind)
{
    switch (kind) {
    case ArticleKind::Added:
        return "article-added";
    case ArticleKind::Removed:
        return "article-removed";
    case ArticleKind::Changed:
        return "article-changed";
    case ArticleKind::Moved:
        return "article-moved";
    }
    return "";
}

QString fieldOld(const FieldDifference &f)
{
    return f.kind == FieldKind::Description ? f.oldDescription : QString::number(f.oldLength);
}

QString fieldNew(const FieldDifference &f)
{
    if (f.kind == FieldKind::Renamed)
        return f.newName;
    return f.kind == FieldKind::Description ? f.newDescription : QString::number(f.newLength);
}

// A tab, line break or backslash inside a value would break the TSV row.
QString escaped(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return value;
}

QString row(const QStringList &cells)
{
    QStringList out;
    for (const QString &cell : cells)
        out << escaped(cell);
    return out.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString quoted(const QString &value)
{
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace

namespace ComparisonReport {

QString tsv(const CatalogueDifferences &d)
{
    QString out = row({"kind", "group", "type", "key", "field", "old", "new"});
    for (const FieldDifference &f : d.fields)
        out += row({token(f.kind), {}, {}, {}, f.name, fieldOld(f), fieldNew(f)});
    for (const GroupDifference &g : d.groups)
        out += row({token(g.kind),
                    g.blockName,
                    {},
                    {},
                    "DESCRIPTION",
                    g.oldDescription,
                    g.newDescription});
    for (const ArticleDifference &a : d.articles) {
        if (a.kind == ArticleKind::Changed) {
            for (const ValueChange &c : a.changes)
                out +=
                    row({token(a.kind), a.group, a.type, a.key, c.field, c.oldValue, c.newValue});
        } else if (a.kind == ArticleKind::Moved) {
            out += row({token(a.kind), a.group, a.type, a.key, "RAD", QString::number(a.oldPlace),
                        QString::number(a.newPlace)});
        } else {
            out += row({token(a.kind), a.group, a.type, a.key, {}, {}, {}});
        }
    }
    for (const DuplicateKey &k : d.duplicates)
        out += row({"duplicate-key",
                    k.group,
                    {},
                    k.key,
                    {},
                    QString::number(k.countA),
                    QString::number(k.countB)});
    for (const EquivalenceDifference &e : d.equivalences)
        out += row({e.added ? "eqv-added" : "eqv-removed",
                    e.blockName,
                    {},
                    {},
                    {},
                    e.added ? QString() : e.values.join(QLatin1String("; ")),
                    e.added ? e.values.join(QLatin1String("; ")) : QString()});
    return out;
}

QByteArray json(const CatalogueDifferences &d)
{
    QJsonObject root;
    root["key"] = QJsonArray::fromStringList(d.keyFields);
    root["compared"] = QJsonArray::fromStringList(d.comparedFields);
    root["leftOut"] = QJsonArray::fromStringList(d.leftOutFields);
    QJsonArray fields;
    for (const FieldDifference &f : d.fields)
        fields.append(QJsonObject{{"kind", token(f.kind)},
                                  {"field", f.name},
                                  {"old", fieldOld(f)},
                                  {"new", fieldNew(f)}});
    root["fields"] = fields;
    QJsonArray groups;
    for (const GroupDifference &g : d.groups)
        groups.append(QJsonObject{{"kind", token(g.kind)},
                                  {"group", g.blockName},
                                  {"old", g.oldDescription},
                                  {"new", g.newDescription}});
    root["groups"] = groups;
    QJsonArray articles;
    for (const ArticleDifference &a : d.articles) {
        QJsonObject changes;
        for (const ValueChange &c : a.changes)
            changes[c.field] = QJsonObject{{"old", c.oldValue}, {"new", c.newValue}};
        QJsonObject o{{"kind", token(a.kind)},
                      {"group", a.group},
                      {"type", a.type},
                      {"key", a.key},
                      {"changes", changes}};
        if (a.kind == ArticleKind::Moved) {
            o["oldPlace"] = a.oldPlace;
            o["newPlace"] = a.newPlace;
        }
        articles.append(o);
    }
    root["articles"] = articles;
    QJsonArray duplicates;
    for (const DuplicateKey &k : d.duplicates)
        duplicates.append(QJsonObject{
            {"group", k.group}, {"key", k.key}, {"countA", k.countA}, {"countB", k.countB}});
    root["duplicateKeys"] = duplicates;
    QJsonArray equivalences;
    for (const EquivalenceDifference &e : d.equivalences)
        equivalences.append(QJsonObject{{"kind", e.added ? "eqv-added" : "eqv-removed"},
                                        {"group", e.blockName},
                                        {"values", QJsonArray::fromStringList(e.values)}});
    root["equivalences"] = equivalences;
    root["same"] = d.isEmpty();
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString html(const CatalogueDifferences &d, const QString &nameA, const QString &nameB)
{
    const QString title = QStringLiteral("Jämförelse av %1 och %2").arg(nameA, nameB);
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"sv\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>%1</title>\n</head>\n<body>\n<h1>%1</h1>\n<pre>%2</pre>\n"
                          "</body>\n</html>\n")
        .arg(title.toHtmlEscaped(), text(d, nameA, nameB).toHtmlEscaped());
}

} // namespace ComparisonReport

namespace {

QString fieldLine(const FieldDifference &f)
{
    switch (f.kind) {
    case FieldKind::Added:
        return QStringLiteral("  + fältet %1 (längd %2) tillkom\n").arg(f.name).arg(f.newLength);
    case FieldKind::Removed:
        return QStringLiteral("  - fältet %1 (längd %2) togs bort\n").arg(f.name).arg(f.oldLength);
    case FieldKind::Renamed:
        return QStringLiteral("  ~ fältet %1 heter nu %2\n").arg(f.name, f.newName);
    case FieldKind::Length:
        return QStringLiteral("  ~ fältet %1: längd %2 -> %3\n")
            .arg(f.name)
            .arg(f.oldLength)
            .arg(f.newLength);
    case FieldKind::Description:
        return QStringLiteral("  ~ fältet %1: beskrivning %2 -> %3\n")
            .arg(f.name, quoted(f.oldDescription), quoted(f.newDescription));
    }
    return {};
}

QString groupLine(const GroupDifference &g)
{
    switch (g.kind) {
    case GroupKind::Added:
        return QStringLiteral("+ Grupp %1 %2 (ny)\n").arg(g.blockName, quoted(g.newDescription));
    case GroupKind::Removed:
        return QStringLiteral("- Grupp %1 %2 (borttagen)\n")
            .arg(g.blockName, quoted(g.oldDescription));
    case GroupKind::Changed:
        return QStringLiteral("~ Grupp %1: beskrivning %2 -> %3\n")
            .arg(g.blockName, quoted(g.oldDescription), quoted(g.newDescription));
    }
    return {};
}

QString articleLine(const ArticleDifference &a)
{
    const QString who = QStringLiteral("typ %1 (%2)").arg(a.type, a.key);
    switch (a.kind) {
    case ArticleKind::Added:
        return QStringLiteral("    + artikel %1 tillkom, rad %2\n").arg(who).arg(a.newRow);
    case ArticleKind::Removed:
        return QStringLiteral("    - artikel %1 togs bort, rad %2\n").arg(who).arg(a.oldRow);
    case ArticleKind::Moved:
        return QStringLiteral("    ^ artikel %1 flyttad: plats %2 -> %3\n")
            .arg(who)
            .arg(a.oldPlace)
            .arg(a.newPlace);
    case ArticleKind::Changed:
        break;
    }
    QString out = QStringLiteral("    ~ artikel %1 ändrad:\n").arg(who);
    for (const ValueChange &c : a.changes)
        out += QStringLiteral("        %1: %2 -> %3\n")
                   .arg(c.field, quoted(c.oldValue), quoted(c.newValue));
    return out;
}

QString groupsAndArticles(const CatalogueDifferences &d)
{
    // Every group that has anything to say, in name order, its own change first.
    QMap<QString, QString> byGroup;
    for (const GroupDifference &g : d.groups)
        byGroup[g.blockName] += groupLine(g);
    for (const ArticleDifference &a : d.articles) {
        QString &text = byGroup[a.group];
        if (text.isEmpty())
            text = QStringLiteral("Grupp %1\n").arg(a.group);
        text += articleLine(a);
    }
    QString out;
    for (const QString &text : byGroup)
        out += text;
    return out;
}

QString summary(const CatalogueDifferences &d)
{
    int counts[4] = {0, 0, 0, 0};
    for (const ArticleDifference &a : d.articles)
        ++counts[int(a.kind)];
    return QStringLiteral("Summa: %1 fält, %2 grupper, %3 tillkomna, %4 borttagna, %5 ändrade "
                          "och %6 flyttade artiklar, %7 ekvivalensrader.\n")
        .arg(d.fields.size())
        .arg(d.groups.size())
        .arg(counts[int(ArticleKind::Added)])
        .arg(counts[int(ArticleKind::Removed)])
        .arg(counts[int(ArticleKind::Changed)])
        .arg(counts[int(ArticleKind::Moved)])
        .arg(d.equivalences.size());
}

} // namespace

QString ComparisonReport::text(const CatalogueDifferences &d, const QString &nameA,
                               const QString &nameB)
{
    QString out = QStringLiteral("--- %1\n+++ %2\nNyckel: %3\n")
                      .arg(nameA, nameB, d.keyFields.join(QLatin1String(", ")));
    if (!d.fields.isEmpty()) {
        out += QStringLiteral("Fältbeskrivning:\n");
        for (const FieldDifference &f : d.fields)
            out += fieldLine(f);
    }
    if (!d.leftOutFields.isEmpty())
        out += QStringLiteral("Jämfördes inte (finns bara på ena sidan): %1\n")
                   .arg(d.leftOutFields.join(QLatin1String(", ")));
    out += groupsAndArticles(d);
    for (const DuplicateKey &k : d.duplicates)
        out += QStringLiteral("! Nyckeln %1 i grupp %2 förekommer %3 gånger i A och %4 i B; "
                              "raderna paras i radordning.\n")
                   .arg(k.key, k.group)
                   .arg(k.countA)
                   .arg(k.countB);
    if (!d.equivalences.isEmpty()) {
        out += QStringLiteral("Ekvivalensrader:\n");
        for (const EquivalenceDifference &e : d.equivalences)
            out += QStringLiteral("  %1 %2\n")
                       .arg(e.added ? QStringLiteral("+") : QStringLiteral("-"),
                            e.values.join(QLatin1String(" | ")));
    }
    if (d.isEmpty())
        return out + QStringLiteral("Katalogerna är lika.\n");
    return out + summary(d);
}
