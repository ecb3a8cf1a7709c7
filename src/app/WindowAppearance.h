#pragma once

#include "db/FieldList.h"

#include <QList>
#include <QObject>

#include <cstdint>

class ArticleGridView;
class GridController;
class GroupTreeView;
class QComboBox;
class QFontComboBox;
class QMainWindow;
class QSplitter;
class QToolBar;

// The look of the main window in one place: colour scheme, tree and grid colours, font and
// size, the grid's column widths and the window's placement, tree width and bar layout, read
// from the settings at start and stored at the end.
class WindowAppearance : public QObject
{
    Q_OBJECT
public:
    WindowAppearance(QMainWindow &window, GroupTreeView &tree, ArticleGridView &grid,
                     QSplitter &splitter, GridController &gridController);

    // The "Text" bar with the font and size boxes.
    QToolBar *createTextBar();
    // What the settings hold, applied; the bar layout first, as the bars exist by then.
    void restoreBarLayout();
    void load();
    // What the user arranged, stored for the next start.
    void save();

    int scheme() const;
    void setScheme(int scheme);
    // What the Options dialog and the stored settings change.
    void setTreeColour(std::uint32_t colour);
    void setGridColour(std::uint32_t colour);
    // Selects the size in the font-size box, which stores it and applies it to tree and grid.
    void setFontSize(int points);
    // Widths for the columns of a freshly opened catalogue: a stored width wins, a column
    // nobody sized yet gets room for its field's length.
    void sizeColumns(const FieldList &fields, int columns);

    int treeWidth() const;
    void setTreeWidth(int pixels);

signals:
    void schemeChanged(int scheme);

private:
    void applyFontName(const QString &family);
    void applyFontSize(int points);

    QMainWindow &m_window;
    GroupTreeView &m_tree;
    ArticleGridView &m_grid;
    QSplitter &m_splitter;
    GridController &m_gridController;
    QFontComboBox *m_fontBox = nullptr;
    QComboBox *m_fontSizeBox = nullptr;
    QList<int> m_storedColumnWidths; // twips by column number, -1 where none is stored
};
