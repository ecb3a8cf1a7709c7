#pragma once

#include "db/FieldList.h"

#include <QString>

#include <memory>

class Prompter;
class QTemporaryDir;

// One catalogue to compare or merge, as an SQLite file that can be attached: a .tdb as it is
// (only ever opened read-only), or a .tds/.tdx pair imported into a temporary database that
// disappears with this object. Neither input file is written.
class CatalogueSource
{
public:
    // `tdxPath` names the field description of a .tds when it does not lie beside it (git hands
    // over temporary copies); a path ending in .tds means the .tdx beside that one. Throws
    // AppError with a Swedish text.
    CatalogueSource(const QString &path, Prompter &prompter, const QString &tdxPath = {});
    ~CatalogueSource();
    CatalogueSource(const CatalogueSource &) = delete;
    CatalogueSource &operator=(const CatalogueSource &) = delete;

    // The file to open or attach.
    const QString &databasePath() const { return m_databasePath; }
    const QString &shownPath() const { return m_shownPath; }
    const FieldList &fields() const { return m_fields; }
    // True when databasePath() is our own temporary copy, which may be changed.
    bool isTemporary() const { return m_temp != nullptr; }

private:
    void importPair(const QString &tdsPath, const QString &tdxPath, Prompter &prompter);

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_databasePath;
    QString m_shownPath;
    FieldList m_fields;
};

// The .tdx a .tds is described by: `tdxOption` when given (a .tds there means the .tdx beside
// it), else the one beside the .tds.
QString describingTdx(const QString &tdsPath, const QString &tdxOption);
