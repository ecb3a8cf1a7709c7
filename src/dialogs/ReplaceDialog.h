#pragma once

#include "browse/ArticleGrid.h"
#include "edit/Replace.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Sök och ersätt": replaces a text in the selected cells or in every shown article of the
// grid. The grid is changed in place; `gridEdited` tells the window afterwards.
class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReplaceDialog(ArticleGrid &grid, QWidget *parent = nullptr);

signals:
    // The replacement has run (also when nothing matched): what changed, what had to be cut to
    // its field's length; the covered cells are the grid's selection now. Sent before gridEdited.
    void replaced(const Replace::Result &result);
    // The replacement has run (also when nothing matched); `changed` holds the cells it covered.
    void gridEdited(const ArticleGrid::CellRange &changed);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void updateState();
    void replace();

    ArticleGrid &m_grid;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replacement = nullptr;
    QRadioButton *m_selection = nullptr;
    QRadioButton *m_shownArticles = nullptr;
    QLabel *m_error = nullptr;
    QPushButton *m_replaceButton = nullptr;
};
