#pragma once

#include "compare/CatalogueDifferences.h"

#include <QList>
#include <QString>
#include <QStringList>

class Prompter;

// A field both sides changed to different values, or an article (or group) one side deleted
// and the other changed. The merged file keeps our side for it.
struct MergeConflict
{
    QString group;
    QString type;
    QString key;
    QString field;
    QString base;
    QString ours;
    QString theirs;
};

struct MergeResult
{
    QList<MergeConflict> conflicts;
    int takenFromTheirs = 0; // changes of theirs brought in
    qint64 linesWritten = 0;
};

// Three-way merge of catalogues, field by field. The result is built in a temporary copy of
// ours and written by the export, so OUT.tds and OUT.tdx are both complete or left as they were.
class ThreeWayMerge
{
public:
    explicit ThreeWayMerge(Prompter &prompter) : m_prompter(prompter) {}

    void setKeyFields(const QStringList &fields) { m_keyFields = fields; }
    void setTdxPath(const QString &path) { m_tdxPath = path; }

    // Throws AppError (unreadable input, different field descriptions, a failed write).
    MergeResult run(const QString &base, const QString &ours, const QString &theirs,
                    const QString &outputPath);

private:
    Prompter &m_prompter;
    QStringList m_keyFields;
    QString m_tdxPath;
};

// "(borttagen)": the value a deleting side shows in a conflict.
QString deletedMark();
