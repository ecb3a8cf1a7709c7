#pragma once

#include <QAbstractTableModel>

class ArticleGrid;

// Shows an ArticleGrid in a QTableView: grid row 0 is the header, data rows follow.
class ArticleGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ArticleGridModel(ArticleGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Call around any change of the grid's shape.
    void beginChange() { beginResetModel(); }
    void endChange() { endResetModel(); }

private:
    ArticleGrid &m_grid;
};
