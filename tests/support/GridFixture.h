#pragma once

#include "browse/ArticleGrid.h"

#include <QStringList>

// Small article grids written as text: a header of field names and rows given from column 1
// (RAD) on, cells separated by '|'.
namespace GridFixture {

ArticleGrid make(const QStringList &header, const QStringList &rows);
// The data rows back in the same form.
QStringList dump(const ArticleGrid &grid);

} // namespace GridFixture
