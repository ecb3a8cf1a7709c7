#pragma once

#include <QAbstractTableModel>

#include <functional>

class ArticleGrid;
struct GridChange;

// Shows an ArticleGrid in a QTableView: grid row 0 is the header, data rows follow.
class ArticleGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ArticleGridModel(ArticleGrid &grid, QObject *parent = nullptr);

    // What the row selector shows before the position of a row with unsaved changes.
    static inline const QString kChangedMark = QStringLiteral("\u270E");
    // True for a cell whose text changed since it was loaded or made; a save writes it.
    static constexpr int CellChangedRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Which columns the user may edit now (the window's editing rules).
    void setEditable(std::function<bool(int column)> editable) { m_editable = std::move(editable); }
    // Grid rows first..last (grid numbering, header is row 0) changed in columns c1..c2.
    void cellsChanged(int firstRow, int firstColumn, int lastRow, int lastColumn);

    // Call around a change of the grid that is not announced in detail.
    void beginChange() { beginResetModel(); }
    void endChange();
    // After a grid operation: tells the views exactly what it changed (cells, rows inserted or
    // removed), so they keep their scroll position and whatever was not touched.
    void announce(const GridChange &change);

signals:
    // A cell was edited by the user (grid row and column).
    void cellEdited(int row, int column);

private:
    ArticleGrid &m_grid;
    std::function<bool(int)> m_editable;
    // The rows the views know of. A grid operation has already changed the grid when it is
    // announced; until then the views must still see the old count.
    int m_rows = 0;
};
