#include "browse/ArticleGridModel.h"

#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"

ArticleGridModel::ArticleGridModel(ArticleGrid &grid, QObject *parent)
    : QAbstractTableModel(parent), m_grid(grid), m_rows(qMax(0, grid.rows() - 1))
{
}

void ArticleGridModel::endChange()
{
    m_rows = qMax(0, m_grid.rows() - 1);
    endResetModel();
}

void ArticleGridModel::announce(const GridChange &change)
{
    const int gridRows = qMax(0, m_grid.rows() - 1);
    switch (change.kind) {
    case GridChange::Kind::Nothing:
        return;
    case GridChange::Kind::Cells:
        cellsChanged(change.cells.r1, change.cells.c1, change.cells.r2, change.cells.c2);
        return;
    case GridChange::Kind::RowsInserted:
        if (change.count > 0 && gridRows == m_rows + change.count) {
            beginInsertRows({}, change.row - 1, change.row - 1 + change.count - 1);
            m_rows = gridRows;
            endInsertRows();
            if (change.cells.r1 <= change.cells.r2)
                cellsChanged(change.cells.r1, change.cells.c1, change.cells.r2, change.cells.c2);
            return;
        }
        break;
    case GridChange::Kind::RowsRemoved:
        if (change.count > 0 && gridRows == m_rows - change.count) {
            beginRemoveRows({}, change.row - 1, change.row - 1 + change.count - 1);
            m_rows = gridRows;
            endRemoveRows();
            return;
        }
        break;
    case GridChange::Kind::Everything:
        if (gridRows == m_rows) {
            cellsChanged(1, 0, gridRows, columnCount() - 1);
            return;
        }
        break;
    }
    // The change does not add up with what the views know: they read everything again.
    beginResetModel();
    endChange();
}

int ArticleGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
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
        // The row selector shows the row's position and marks the rows a save will write.
        if (index.column() == 0) {
            const QString position = QString::number(index.row() + 1);
            return m_grid.rowChanged(index.row() + 1) ? kChangedMark + u' ' + position : position;
        }
        return m_grid.text(index.row() + 1, index.column());
    case Qt::EditRole:
        return m_grid.text(index.row() + 1, index.column());
    case Qt::ToolTipRole:
        if (index.column() == 0 ? m_grid.rowChanged(index.row() + 1)
                                : m_grid.cellChanged(index.row() + 1, index.column()))
            return QStringLiteral("Ändrad: skrivs till databasen med Spara ändringar");
        return {};
    case CellChangedRole:
        return index.column() > 0 && m_grid.cellChanged(index.row() + 1, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((index.column() == 0 ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
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

Qt::ItemFlags ArticleGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable && m_editable(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ArticleGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row() + 1;
    const QString text = value.toString();
    // An editor closed without a change is no edit (a blank cell still becomes "0").
    if (text == m_grid.text(row, index.column()) && !text.trimmed().isEmpty())
        return true;
    m_grid.setText(row, index.column(), text);
    emit cellEdited(row, index.column());
    cellsChanged(row, index.column(), row, index.column());
    return true;
}

void ArticleGridModel::cellsChanged(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    if (rowCount() == 0 || columnCount() == 0)
        return;
    const int top = qBound(0, firstRow - 1, rowCount() - 1);
    const int bottom = qBound(0, lastRow - 1, rowCount() - 1);
    const int left = qBound(0, firstColumn, columnCount() - 1);
    emit dataChanged(index(top, left), index(bottom, qBound(0, lastColumn, columnCount() - 1)));
    // A changed cell may mark its row, and the row selector shows the mark: the views repaint
    // only what is announced.
    if (left > 0)
        emit dataChanged(index(top, 0), index(bottom, 0), {Qt::DisplayRole, Qt::ToolTipRole});
}
