#pragma once

#include "check/Finding.h"

#include <QString>

class Database;

// Looks through a working database for what will break in the drawings that use the exported
// catalogue: references to groups that are not there, colliding type or row numbers, contact
// texts the contact dialog cannot read back, values the exchange file cannot hold. Each rule
// has a stable id; the queries run in the engine, so a large catalogue is checked quickly.
// Reads only.
class CatalogueCheck
{
public:
    // accessoryPrefix: how accessory-group descriptions begin (the picker's prefix).
    CatalogueCheck(Database &db, const QString &accessoryPrefix);

    // Every finding, rule family by rule family, each family in table and row order. Throws
    // DbError or AppError when the database cannot be read.
    Findings run();

private:
    Database &m_db;
    QString m_accessoryPrefix;
};

// Findings at or above `least`.
Findings atLeast(const Findings &findings, Severity least);
