#include "browse/ArticleGridModel.h"

#include "browse/ArticleGrid.h"

ArticleGridModel::ArticleGridModel(ArticleGrid &grid, QObject *parent)
    : QAbstractTableModel(parent), m_grid(grid)
{
}

int ArticleGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_grid.rows() - 1);
}

int ArticleGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.cols();
}

QVariant ArticleGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_grid.text(index.row() + 1, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ArticleGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_grid.text(0, section);
    return {};
}
