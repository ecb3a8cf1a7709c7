#pragma once

#include "browse/PackedCells.h"
#include "db/FieldList.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

struct GridChange;

// The article grid's buffer, the edit buffer of the articles shown: row 0 holds the column
// names, column 0 is the row-selector column, column 1 RAD (hidden), column 2 BL_NAME, then the
// other fields; every cell is text. A row keeps its cells packed in one allocation, so a
// million rows cost little more than their text. Each data row also remembers the database row it
// was loaded from and which of its cells changed since, so a save writes only what it must and the
// user sees what it will write.
class ArticleGrid
{
    struct Row
    {
        PackedCells cells;
        qint64 id = 0; // rowid in Articles, 0 when made in the grid
        std::uint32_t colour = 0;
        std::uint32_t markWords = 0;
        std::unique_ptr<std::uint64_t[]> marks; // a bit per changed cell; null while none changed

        Row() = default;
        Row(PackedCells c, qint64 rowId) : cells(std::move(c)), id(rowId) {}
        Row(const Row &other);
        Row &operator=(const Row &other);
        Row(Row &&) noexcept = default;
        Row &operator=(Row &&) noexcept = default;
    };

public:
    struct CellRange
    {
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0; // first and last row and column

        bool operator==(const CellRange &other) const = default;
    };

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    // The most characters a cell of the column may hold, from the field list the columns were
    // set up with; 0 when there is no limit (the row selector).
    int fieldLength(int col) const;

    // Header row only: an empty cell, then the field names in order.
    void setupColumns(const FieldList &fields);
    // Keeps the first `rows` rows, adding empty ones as needed; never below the header row.
    // Rows cut off are forgotten, not deleted: a save leaves their database rows alone.
    void setRows(int rows);
    // Header row only, with nothing remembered as deleted: the buffer starts over.
    void clearRows();
    void reserve(int rows) { m_rows.reserve(size_t(rows)); }
    void clear();

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    // Row colour as the stored 32-bit value (0 = the grid's normal background).
    std::uint32_t rowColour(int row) const;

    // Writes values[0..] into `row` (values beyond the last column are ignored), makes the grid
    // row + 1 rows long and returns the new row count.
    int AddGridRow(const QStringList &values, int row, std::uint32_t colour = 0);
    // Appends a row of packed cells, one per column; used by the bulk filling, which builds rows
    // without a QString per cell. `rowId` is the database row it comes from (0: none).
    void appendRow(PackedCells cells, qint64 rowId = 0);

    // The database row a data row was loaded from; 0 for a row made in the grid.
    qint64 rowId(int row) const;
    // True once a cell of the row was given a different text after the row was loaded or made.
    bool rowChanged(int row) const;
    // True once the cell was given a different text after its row was loaded or made.
    bool cellChanged(int row, int col) const;
    // The database rows of loaded rows that removeRows() took out: the user's deletions, which
    // a save carries out.
    const std::vector<qint64> &removedRowIds() const { return m_removedIds; }

    // Row edits; rows are data rows (>= 1). Inserted rows are empty. Moves, swaps and sorts
    // carry each row's origin with it.
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    // Moves one row to another index; the rows between shift by one.
    void moveRow(int from, int to);
    void swapRows(int a, int b);
    // Sorts the data rows by the text of one column, keeping the order of equal texts. Rows for
    // which keepFirst answers true (a group's head line) come first, in their order, unsorted.
    void sortRows(int column, bool ascending, const std::function<bool(int row)> &keepFirst = {});

    // Long operations (a sort, writing many cells) call `pulse` now and then, so a window can
    // repaint and show that work goes on. It must not change the grid.
    void setPulse(std::function<void()> pulse) { m_pulse = std::move(pulse); }
    bool hasPulse() const { return bool(m_pulse); }

    // The first column from 1 up whose header equals name exactly; -1 when none.
    int GetColumn(const QString &name) const;
    // The first column from 0 up whose header equals name ignoring case; -1 when none.
    int FindGridColumn(const QString &name) const;

    const CellRange &selection() const { return m_selection; }
    // A range put in order and cut to the data cells (rows from 1, columns from 1); nullopt
    // when none of it lies on a data cell.
    std::optional<CellRange> dataRange(CellRange range) const;
    std::optional<CellRange> dataSelection() const { return dataRange(m_selection); }
    void setSelection(const CellRange &range);

    // What grid edits changed, kept so that it can be taken back and done again: the old and new
    // text of each written cell, the rows taken out, a sort's order. Never a copy of the grid, so
    // a step over 200,000 rows costs what it changed.
    class Edit
    {
    public:
        bool isEmpty() const { return m_entries.empty(); }

    private:
        friend class ArticleGrid;
        struct CellWrite
        {
            int row, col;
            QString before, after;
            bool wasChanged; // the cell's mark before the write
        };
        struct RowsInserted
        {
            int at, count;
        };
        struct RowsRemoved
        {
            int at, count;
            std::vector<Row> rows; // the rows while they are out of the grid
            size_t removedIdsBefore;
        };
        struct RowMoved
        {
            int from, to;
        };
        struct RowsSwapped
        {
            int a, b;
        };
        struct RowsSorted
        {
            std::vector<int> order; // order[i]: the row that came to row i + 1
        };
        using Entry =
            std::variant<CellWrite, RowsInserted, RowsRemoved, RowMoved, RowsSwapped, RowsSorted>;

        std::vector<Entry> m_entries;
        CellRange m_selectionBefore, m_selectionAfter;
    };

    // While recording, every change of cells and rows is kept in the pending edit. Filling,
    // clearing or setting up the buffer starts the pending edit over: it is no user's edit.
    void setRecording(bool on) { m_recording = on; }
    bool isRecording() const { return m_recording; }
    bool hasPendingEdit() const { return !m_pending.isEmpty(); }
    // Hands over what was recorded since the last call, with the selection before and after.
    Edit takeEdit();
    // Takes an edit back (the grid as the edit left it) or does it again (the grid as the edit
    // found it), restoring the cells' change marks and the selection. Returns what changed, for
    // the views. Nothing may be pending.
    GridChange undo(Edit &edit);
    GridChange redo(Edit &edit);

private:
    Row emptyRow() const;
    bool valid(int row, int col) const;
    void writeCell(Row &row, int col, const QString &text);
    static bool marked(const Row &row, int col);
    static void setMark(Row &row, int col, bool on);
    void restartPending();
    void record(Edit::Entry entry);
    void eraseRows(int at, int count, std::vector<Row> *taken);
    void reorder(const std::vector<int> &order, bool backwards);
    void relocate(int from, int to);
    void beat() const
    {
        if (m_pulse && (++m_beats & 0xFFF) == 0)
            m_pulse();
    }

    std::vector<Row> m_rows;
    std::vector<qint64> m_removedIds;
    int m_cols = 0;
    CellRange m_selection;
    std::vector<int> m_fieldLengths; // per column, 0 for no limit
    bool m_recording = false;
    Edit m_pending;
    std::function<void()> m_pulse;
    mutable std::uint32_t m_beats = 0;
};
