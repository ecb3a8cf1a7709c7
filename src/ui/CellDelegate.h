#pragma once

#include "browse/GridRules.h"

#include <QStyledItemDelegate>

#include <functional>

// Edits a grid cell within its field's length, refusing characters the exchange files cannot
// hold, and gives TBH/APP and CCONF cells a "..." button that opens their dialog.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using RuleFor = std::function<GridRules::EditRule(int column)>;

    CellDelegate(RuleFor rule, QObject *parent = nullptr);

    // The background of a cell a save will write: amber mixed into the palette's base, so it
    // shows on light and dark schemes alike and differs from the selection.
    static QColor changedCellTint(const QPalette &palette);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    // An editor with a "..." button is widened by the button, so the text keeps the cell's width.
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

signals:
    // The "..." button of a cell (grid row and column).
    void ellipsisClicked(int row, int column);
    // A typed character was refused.
    void characterRefused();

private:
    RuleFor m_rule;
};
