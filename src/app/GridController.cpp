#include "app/GridController.h"
#include "app/CommandRegistry.h"
#include "db/Schema.h"

#include "browse/ArticleGridModel.h"
#include "browse/RowNumbering.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "dialogs/ContactDefinitionDialog.h"
#include "dialogs/ReplaceDialog.h"
#include "edit/AccessoryPick.h"
#include "edit/Fill.h"
#include "edit/Replace.h"
#include "edit/RowOperations.h"
#include "session/CatalogueSession.h"
#include "sheet/ListUpdate.h"

#include "ui/CellDelegate.h"
#include "ui/FrozenColumns.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <utility>

namespace {

// Whatever the grid records while it lives becomes one step of the history, also when the
// operation fails halfway: what it wrote can be taken back.
class Step
{
public:
    Step(GridHistory &history, QString caption) : m_history(history), m_caption(std::move(caption))
    {
    }
    ~Step() { m_history.seal(m_caption); }
    Step(const Step &) = delete;
    Step &operator=(const Step &) = delete;

private:
    GridHistory &m_history;
    QString m_caption;
};

} // namespace

GridController::GridController(CatalogueSession &session, Prompter &prompter, QObject *parent)
    : QObject(parent), m_session(session), m_prompter(prompter), m_grid(session.grid()),
      m_history(m_grid)
{
    m_model = new ArticleGridModel(m_grid, this);
    m_model->setEditable([this](int column) {
        return GridRules::editRule(m_grid, column, SingleGroupView(), m_session.fieldList())
            .allowed;
    });
    m_view = new ArticleGridView;
    m_view->setModel(m_model);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_delegate = new CellDelegate(
        [this](int column) {
            return GridRules::editRule(m_grid, column, SingleGroupView(), m_session.fieldList());
        },
        m_view);
    m_view->setItemDelegate(m_delegate);
    connect(m_delegate, &CellDelegate::ellipsisClicked, this, [this](int row, int column) {
        if (refusedInOverview())
            return;
        if (m_grid.text(0, column) == Schema::kAccessoryGroup)
            emit accessoryPickerRequested(row, column);
        else
            openContactDefinition(row, column);
    });
    connect(m_delegate, &CellDelegate::characterRefused, this, [this] {
        emit statusMessage(QStringLiteral("Tecknet finns inte i Windows-1252."), 4000);
    });
    connect(m_model, &ArticleGridModel::cellEdited, this, &GridController::onCellEdited);
    connect(m_view, &ArticleGridView::mouseReleased, this, &GridController::onGridMouseReleased);
    connect(m_view, &ArticleGridView::popupRequested, this, [this](QPoint globalPosition) {
        if (m_grid.rows() < 2)
            return;
        EvaluateTreeMode();
        showGridPopup(globalPosition);
    });
    connect(m_view, &ArticleGridView::deletePressed, this, &GridController::onDeletePressed);
    m_view->setBeforeLastRow([this] { m_session.finishLoading(); });
    // Typing in the overview edits nothing; the status bar says where editing is.
    connect(m_view, &ArticleGridView::editRefused, this, [this] { refusedInOverview(); });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &GridController::onHeaderClicked);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GridController::trackSelection);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GridController::trackSelection);
    connect(m_view, &ArticleGridView::editingChanged, this, &GridController::editingChanged);
    // Where the user was, to come back to when the same choice is read again.
    connect(&m_session, &CatalogueSession::gridAboutToReset, this, &GridController::rememberPlace);
    connect(&m_session, &CatalogueSession::rowsLoaded, this, &GridController::placeOnLoadedRows);
    connect(&m_session, &CatalogueSession::gridAboutToReset, m_model,
            &ArticleGridModel::beginChange);
    // A grid filled again (loaded, saved or thrown away) has no steps to take back.
    connect(&m_session, &CatalogueSession::gridAboutToReset, &m_history, &GridHistory::clear);
    connect(&m_history, &GridHistory::replayed, this, &GridController::afterReplay);
    connect(&m_session, &CatalogueSession::gridReset, this, &GridController::afterReset);
    // Rows read in the background join the end of the view; nothing else moves.
    connect(&m_session, &CatalogueSession::gridRowsAppended, this, [this](int first, int count) {
        m_model->announce(GridChange::rowsInserted(first, count));
        fitRowSelector();
    });
    connect(&m_session, &CatalogueSession::rowsLoaded, this, [this](qint64 rows, bool done) {
        m_loadingText = done ? QStringLiteral("%L1 rader inlästa.").arg(rows)
                             : QStringLiteral("Läser in rader … %L1 hittills").arg(rows);
        emit statusMessage(m_loadingText, done ? 8000 : 0);
    });
    // The count of a view is wrong for the next one.
    connect(&m_session, &CatalogueSession::gridAboutToReset, this, [this] {
        if (!m_loadingText.isEmpty())
            emit statusWithdrawn(std::exchange(m_loadingText, QString()));
    });
}

void GridController::fitRowSelector()
{
    if (m_grid.cols() == 0)
        return;
    const QString widest = ArticleGridModel::kChangedMark + u' ' +
                           QString(QString::number(qMax(1, m_grid.rows() - 1)).size(), u'8');
    const int margins = 3 * m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    const int width =
        qMax(Twips::toPixels(300), m_view->fontMetrics().horizontalAdvance(widest) + margins);
    if (m_view->columnWidth(0) != width)
        m_view->setColumnWidth(0, width);
}

void GridController::afterReset()
{
    m_model->endChange();
    fitRowSelector();
    // A new buffer starts unsorted, with its first cell current and nothing reported as marked:
    // the status text and the sort arrow belonged to the rows that went.
    m_sortColumn = -1;
    m_view->horizontalHeader()->setSortIndicatorShown(false);
    const std::optional<Place> place = std::exchange(m_place, std::nullopt);
    m_placeAwaitingRows.reset();
    if (m_grid.rows() > 1 && place && place->choice == m_session.selection() &&
        place->database == m_session.CurrentDbPath()) {
        restorePlace(*place);
        // Rows still on their way: the place is taken again once they are there.
        if (m_session.isLoading() && std::max(place->row, place->selection.r2) > m_grid.rows() - 1)
            m_placeAwaitingRows = place;
        return;
    }
    if (m_grid.rows() > 1) {
        const QScopedValueRollback<bool> quiet(m_announcing, true);
        m_view->setCurrentIndex(m_model->index(0, 1));
        m_grid.setSelection({1, 1, 1, 1});
    }
    emit selectionStatus(QString());
}

void GridController::placeOnLoadedRows(qint64 rows, bool done)
{
    if (!m_placeAwaitingRows)
        return;
    const Place place = *m_placeAwaitingRows;
    if (place.choice != m_session.selection()) {
        m_placeAwaitingRows.reset();
        return;
    }
    if (!done && rows < std::max(place.row, place.selection.r2))
        return;
    m_placeAwaitingRows.reset();
    restorePlace(place);
}

void GridController::rememberPlace()
{
    // An emptied grid (a database closing for a reopen) keeps the place it had.
    if (m_grid.rows() < 2 || !m_session.selection().isValid())
        return;
    const QModelIndex current = m_view->currentIndex();
    m_place = Place{m_session.CurrentDbPath(),
                    m_session.selection(),
                    current.isValid() ? current.row() + 1 : 1,
                    current.isValid() ? current.column() : 1,
                    m_grid.selection(),
                    m_view->horizontalScrollBar()->value(),
                    m_view->verticalScrollBar()->value()};
}

void GridController::restorePlace(const Place &place)
{
    // Saved, thrown away or read again: the same cell, selection and scroll position, as far as
    // the rows are still there.
    const int lastRow = m_grid.rows() - 1;
    const int lastColumn = m_grid.cols() - 1;
    const auto row = [&](int r) { return std::clamp(r, 1, lastRow); };
    const auto column = [&](int c) { return std::clamp(c, 1, lastColumn); };
    const ArticleGrid::CellRange range{row(place.selection.r1), column(place.selection.c1),
                                       row(place.selection.r2), column(place.selection.c2)};
    {
        const QScopedValueRollback<bool> quiet(m_announcing, true);
        m_grid.setSelection(range);
        QItemSelectionModel *selection = m_view->selectionModel();
        selection->setCurrentIndex(m_model->index(row(place.row) - 1, column(place.column)),
                                   QItemSelectionModel::NoUpdate);
        selection->select(QItemSelection(m_model->index(range.r1 - 1, range.c1),
                                         m_model->index(range.r2 - 1, range.c2)),
                          QItemSelectionModel::ClearAndSelect);
    }
    m_view->doItemsLayout();
    m_view->horizontalScrollBar()->setValue(place.horizontalScroll);
    m_view->verticalScrollBar()->setValue(place.verticalScroll);
    EvaluateTreeMode();
}

void GridController::registerCommands(CommandRegistry &commands)
{
    using C = CommandId;
    commands.add(C::Copy, [this] { CopyClip(); });
    commands.add(C::Cut, [this] { CutClip(); });
    commands.add(C::Paste, [this] { PasteClip(); });
    commands.add(C::Replace, [this] { openReplaceDialog(); });
    commands.add(C::FillDown, [this] { mnuDataFillDown(); });
    commands.add(C::FillUp, [this] { mnuDataFillUp(); });
    for (int step = 1; step <= 5; ++step)
        commands.add(fillDownStepCommand(step), [this, step] { mnuEditFillDnIncr(step); });
    commands.add(C::InsertArticle, [this] { InsertArticle(); });
    commands.add(C::AppendArticle, [this] { AppendArticle(false); });
    commands.add(C::AppendArticles, [this] { AppendArticle(true); });
    commands.add(C::CopyArticle, [this] { CopyArticle(); });
    commands.add(C::DeleteArticle, [this] { DeleteArticle(); });
    commands.add(C::PasteArticle, [this] { mnuPasteArticle(); });
    commands.add(C::PasteArticlesAsNew, [this] { PasteArticlesAsNew(); });
    commands.add(C::MoveRowsUp, [this] { moveRows(MoveRows::RowMove::Up); });
    commands.add(C::MoveRowsDown, [this] { moveRows(MoveRows::RowMove::Down); });
    commands.add(C::Undo, [this] { undo(); });
    commands.add(C::Redo, [this] { redo(); });
    // The popup's items run through the same commands, enabled by the same pass.
    m_commands = &commands;
}

bool GridController::SingleGroupView() const
{
    return m_session.SingleGroupView();
}

bool GridController::refusedInOverview()
{
    if (!m_session.database() || SingleGroupView())
        return false;
    emit statusMessage(GridRules::overviewHint(), 8000);
    return true;
}

void GridController::gridEdited()
{
    m_session.GridEdited(true);
}

bool GridController::isEditing() const
{
    return m_view && m_view->isEditing();
}

void GridController::commitEditor()
{
    if (m_view && m_view->commitOpenEditor())
        m_view->setFocus(Qt::OtherFocusReason);
}

void GridController::commitTypedText()
{
    if (m_view && m_view->commitTypedText())
        m_view->setFocus(Qt::OtherFocusReason);
}

GridController::~GridController()
{
    // The view belongs to the window's widgets and may outlive the grid it shows.
    if (m_view)
        m_view->setModel(nullptr);
}

// ------------------------------------------------------------------------------ the grid

void GridController::afterOperation(const GridChange &change)
{
    {
        // The views move their selection as rows come and go; the grid's own stands.
        const QScopedValueRollback<bool> announcing(m_announcing, true);
        m_model->announce(change);
    }
    if (change.kind == GridChange::Kind::RowsInserted ||
        change.kind == GridChange::Kind::Everything)
        fitRowSelector();
    showGridSelection();
}

void GridController::showGridSelection()
{
    const std::optional<ArticleGrid::CellRange> range = m_grid.dataSelection();
    if (!range)
        return;
    const QModelIndex first = m_model->index(range->r1 - 1, range->c1);
    const QModelIndex last = m_model->index(range->r2 - 1, range->c2);
    if (!first.isValid() || !last.isValid())
        return;
    QItemSelectionModel *selection = m_view->selectionModel();
    selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    m_view->scrollTo(first);
}

void GridController::reportCuts(const CutCells &cuts)
{
    if (cuts.count() > 0)
        emit statusMessage(cuts.statusText(), 15000);
}

namespace {

// While a long grid operation runs, the status bar's progress bar moves and the window repaints
// now and then; a short one never shows it.
class BusyPulse
{
public:
    BusyPulse(ArticleGrid &grid, Progress &progress) : m_grid(grid), m_progress(progress)
    {
        if (m_grid.hasPulse())
            return; // an outer operation already shows it
        m_owner = true;
        m_clock.start();
        m_grid.setPulse([this] { beat(); });
    }
    ~BusyPulse()
    {
        if (!m_owner)
            return;
        m_grid.setPulse({});
        if (m_started)
            m_progress.end();
    }
    BusyPulse(const BusyPulse &) = delete;
    BusyPulse &operator=(const BusyPulse &) = delete;

private:
    static constexpr int kSteps = 20;
    static constexpr qint64 kBeatMs = 40;

    void beat()
    {
        if (m_clock.elapsed() < kBeatMs)
            return;
        m_clock.restart();
        if (!m_started) {
            m_started = true;
            m_progress.start(kSteps);
        }
        m_step = (m_step + 1) % (kSteps + 1);
        m_progress.update(m_step);
    }

    ArticleGrid &m_grid;
    Progress &m_progress;
    QElapsedTimer m_clock;
    bool m_owner = false;
    bool m_started = false;
    int m_step = 0;
};

} // namespace

void GridController::runStep(const QString &caption, const char *operation, Overview overview,
                             const std::function<void()> &work)
{
    if (overview == Overview::Refused && refusedInOverview())
        return;
    // Operations see the whole view: one still loading is read to its end first.
    if (!m_session.finishLoading())
        return;
    const BusyPulse busy(m_grid, m_session.progress());
    const Step step(m_history, caption);
    try {
        work();
    } catch (const std::exception &e) {
        operationFailed(QString::fromLatin1(operation), e);
    }
}

void GridController::operationFailed(const QString &operation, const std::exception &error)
{
    // Cells written before the failure stay; the views read the grid again.
    m_model->beginChange();
    m_model->endChange();
    reportError(m_prompter, kMainWindow, operation, error);
}

ArticleSelection::Kind GridController::shownKind() const
{
    return m_session.selection().kind();
}

void GridController::trackSelection()
{
    if (m_announcing)
        return;
    // The bounding box of the selected ranges (never every index: a whole root view can be
    // selected).
    const QItemSelection selected = m_view->selectionModel()->selection();
    ArticleGrid::CellRange range;
    if (selected.isEmpty()) {
        const QModelIndex current = m_view->currentIndex();
        if (!current.isValid())
            return;
        range = {current.row() + 1, current.column(), current.row() + 1, current.column()};
    } else {
        range = {INT_MAX, INT_MAX, -1, -1};
        for (const QItemSelectionRange &part : selected) {
            range.r1 = qMin(range.r1, part.top() + 1);
            range.r2 = qMax(range.r2, part.bottom() + 1);
            range.c1 = qMin(range.c1, part.left());
            range.c2 = qMax(range.c2, part.right());
        }
    }
    m_grid.setSelection(range);
    EvaluateTreeMode();
}

void GridController::onCellEdited(int row, int column)
{
    const Step step(m_history, QStringLiteral("Ändring i %1").arg(m_grid.text(0, column)));
    gridEdited();
    GridRules::afterEdit(m_grid, row, column);
}

void GridController::onDeletePressed()
{
    if (refusedInOverview())
        return;
    // Cleared cells are an edit like any other: they can be saved, and a tree click asks first.
    const Step step(m_history, QStringLiteral("Töm celler"));
    if (GridRules::clearCells(m_grid, m_grid.selection())) {
        const ArticleGrid::CellRange range = m_grid.selection();
        m_model->cellsChanged(range.r1, range.c1, range.r2, range.c2);
        gridEdited();
    }
}

void GridController::sortGrid(int column, bool ascending)
{
    if (m_grid.rows() < 2 || !m_session.finishLoading())
        return;
    const BusyPulse busy(m_grid, m_session.progress());
    if (!SingleGroupView()) {
        // The overview's rows belong to many groups: sorting only changes how they are looked
        // at, so nothing is renumbered, recorded or waits to be saved. Picking the root again
        // shows the catalogue's order.
        const bool recording = m_grid.isRecording();
        m_grid.setRecording(false);
        afterOperation(GridRules::sortGrid(m_grid, column, ascending, false));
        m_grid.setRecording(recording);
        showSortIndicator(column, ascending);
        return;
    }
    const Step step(m_history, QStringLiteral("Sortera efter %1").arg(m_grid.text(0, column)));
    afterOperation(GridRules::sortGrid(m_grid, column, ascending, true));
    showSortIndicator(column, ascending);
    gridEdited();
    renumberRows();
}

void GridController::showSortIndicator(int column, bool ascending)
{
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    m_view->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder
                                                                   : Qt::DescendingOrder);
}

void GridController::onHeaderClicked(int column)
{
    if (QApplication::keyboardModifiers() == Qt::ShiftModifier) {
        shiftClickColumn(column);
        return;
    }
    if (!m_session.database() || m_grid.rows() < 2 || column <= 0)
        return;
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    sortGrid(column, m_sortAscending);
}

bool GridController::shiftClickColumn(int column)
{
    // Shift in the row selector extends the row selection; it has no field to change.
    if (!m_session.database() || column < 1 || column >= m_grid.cols())
        return false;
    m_view->selectColumn(column);
    const QString header = m_grid.text(0, column);
    if (header == Schema::kBlockName || header == Schema::kType ||
        header == Schema::kAccessoryGroup) {
        QApplication::beep();
        return false;
    }
    for (const FieldDesc &field : m_session.fieldList()) {
        if (field.Name.compare(header, Qt::CaseInsensitive) == 0) {
            emit fieldEditRequested(header, QString::number(field.Length), field.Description);
            return true;
        }
    }
    return false; // a column the article table does not have
}

void GridController::onGridMouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                         QPoint position)
{
    if (modifiers == Qt::ShiftModifier)
        shiftClickColumn(m_view->frozenColumns()->columnUnder(position.x()));
    if (m_grid.rows() < 2)
        return;
    EvaluateTreeMode();
    if (m_view->rowAt(position.y()) < 0)
        return;
    const QPoint global = m_view->viewport()->mapToGlobal(position);
    if (button == Qt::LeftButton && modifiers != Qt::ShiftModifier &&
        position.x() <= m_view->columnWidth(0)) {
        if (GridRules::allowsRowOperations(shownKind()))
            openMoveRowsDialog(global);
        else
            emit statusMessage(GridRules::rootViewRowHint(), 8000);
    } else if (button == Qt::RightButton)
        showGridPopup(global);
}

QList<GridRules::PopupItem> GridController::gridPopupItems() const
{
    const bool hasArticles = ClipboardBlocks::hasArticleBlock(QApplication::clipboard()->text());
    QList<GridRules::PopupItem> items =
        GridRules::popupItems(m_grid, m_grid.selection(), hasArticles, shownKind());
    // The history closes the popup, after the product's own items.
    items << GridRules::PopupItem{CommandId::Undo, u'&' + m_history.undoCaption(),
                                  m_history.stack().canUndo(), true}
          << GridRules::PopupItem{CommandId::Redo, u'&' + m_history.redoCaption(),
                                  m_history.stack().canRedo()};
    return items;
}

void GridController::showGridPopup(QPoint globalPosition)
{
    // The root view's popup has no row operations; the status bar says where they are.
    if (!GridRules::allowsRowOperations(shownKind()))
        emit statusMessage(GridRules::rootViewRowHint(), 8000);
    QMenu popup(m_view);
    popup.setObjectName(QStringLiteral("Popup"));
    for (const GridRules::PopupItem &item : gridPopupItems()) {
        if (item.separator && !popup.isEmpty())
            popup.addSeparator();
        QAction *act = popup.addAction(item.caption);
        act->setEnabled(item.enabled && (!m_commands || m_commands->isEnabled(item.id)));
        const CommandId id = item.id;
        connect(act, &QAction::triggered, this, [this, id] { emit commandRequested(id); });
    }
    popup.exec(globalPosition);
}

// ------------------------------------------------------------------------- undo and redo

void GridController::undo()
{
    m_history.undo();
    // Every step taken back: the grid is as loaded, and nothing waits to be saved.
    m_session.GridEdited(!m_history.atLoadedState());
}

void GridController::redo()
{
    m_history.redo();
    m_session.GridEdited(!m_history.atLoadedState());
}

void GridController::afterReplay(const GridChange &change)
{
    afterOperation(change);
    // A sort taken back or done again leaves no order the arrow could name.
    m_sortColumn = -1;
    m_view->horizontalHeader()->setSortIndicatorShown(false);
    EvaluateTreeMode();
}

// ------------------------------------------------------------------------ row operations

void GridController::renumberRows()
{
    try {
        if (RowNumbering::RenumberRows(m_grid)) {
            const int rad = m_grid.GetColumn(Schema::kRowNumber);
            m_model->cellsChanged(1, rad, m_grid.rows() - 1, rad);
        }
    } catch (const std::exception &e) {
        operationFailed(QStringLiteral("RenumberRows"), e);
    }
}

void GridController::renumberCollidingRows()
{
    runStep(QStringLiteral("Numrera om rader"), "RenumberDistinct", Overview::Refused, [&] {
        if (!RowNumbering::RenumberDistinct(m_grid))
            return;
        const int rad = m_grid.GetColumn(Schema::kRowNumber);
        m_model->cellsChanged(1, rad, m_grid.rows() - 1, rad);
        gridEdited();
    });
}

void GridController::removeLeadingSpaces(int row, int column)
{
    if (row < 1 || row >= m_grid.rows() || column < 1 || column >= m_grid.cols())
        return;
    runStep(QStringLiteral("Ta bort inledande mellanslag"), "RemoveLeadingSpaces",
            Overview::Refused, [&] {
                const QString text = m_grid.text(row, column);
                qsizetype spaces = 0;
                while (spaces < text.size() && text[spaces] == QLatin1Char(' '))
                    ++spaces;
                if (spaces == 0)
                    return;
                m_grid.setText(row, column, text.mid(spaces));
                m_model->cellsChanged(row, column, row, column);
                gridEdited();
            });
}

bool GridController::takeProposals(const Proposals &proposals, const QString &caption)
{
    bool written = false;
    runStep(caption, "TakeProposals", Overview::Refused, [&] {
        if (!m_session.database())
            return;
        ListUpdate::Applied applied;
        try {
            applied = ListUpdate::apply(m_grid, proposals, *m_session.database());
        } catch (...) {
            // Values written before the failure stay in the step: they must not be lost
            // unsaved, so the view counts as edited.
            gridEdited();
            throw;
        }
        afterOperation(applied.change);
        written = applied.cells + applied.added + applied.removed > 0;
        if (written)
            gridEdited();
    });
    return written;
}

bool GridController::afterRowOperation(const RowOperations::RowsResult &result)
{
    if (!result.refusal.isEmpty()) {
        emit statusMessage(result.refusal, 8000);
        return false;
    }
    afterOperation(result.change);
    return true;
}

void GridController::InsertArticle()
{
    runStep(QStringLiteral("Infoga artiklar"), "InsertArticle", Overview::Allowed, [&] {
        if (!m_session.database())
            return;
        const RowOperations::RowsResult result =
            RowOperations::InsertArticle(m_grid, *m_session.database(), shownKind());
        if (afterRowOperation(result) && result.count > 0)
            gridEdited();
    });
}

void GridController::AppendArticle(bool askForCount)
{
    runStep(QStringLiteral("Addera artiklar"), "AppendArticle", Overview::Allowed, [&] {
        if (!m_session.database())
            return;
        const RowOperations::RowsResult result = RowOperations::AppendArticle(
            m_grid, *m_session.database(), m_prompter, askForCount, shownKind());
        if (!afterRowOperation(result))
            return;
        if (result.scrollRow >= 1)
            m_view->scrollTo(m_model->index(result.scrollRow - 1, 0));
        gridEdited();
    });
}

void GridController::DeleteArticle()
{
    runStep(QStringLiteral("Radera artiklar"), "DeleteArticle", Overview::Allowed, [&] {
        const RowOperations::RowsResult result =
            RowOperations::DeleteArticle(m_grid, m_prompter, shownKind());
        if (afterRowOperation(result) && result.count > 0)
            gridEdited();
    });
}

// ------------------------------------------------------------------- fill and replace

void GridController::afterFill(const Fill::Result &result)
{
    if (!result.refusal.isEmpty()) {
        emit statusMessage(result.refusal, 8000);
        return;
    }
    afterOperation(result.change);
    reportCuts(result.cuts);
    if (result.edited)
        gridEdited();
}

void GridController::mnuDataFillDown()
{
    runStep(QStringLiteral("Fyll nedåt"), "mnuDataFillDown", Overview::Refused,
            [&] { afterFill(Fill::fillDown(m_grid)); });
}

void GridController::mnuDataFillUp()
{
    runStep(QStringLiteral("Fyll uppåt"), "mnuDataFillUp", Overview::Refused,
            [&] { afterFill(Fill::fillUp(m_grid)); });
}

void GridController::mnuEditFillDnIncr(int increment)
{
    runStep(QStringLiteral("Fyll nedåt +%1").arg(increment), "mnuEditFillDnIncr", Overview::Refused,
            [&] { afterFill(Fill::fillDownIncrement(m_grid, increment, m_prompter)); });
}

void GridController::openReplaceDialog()
{
    if (m_grid.rows() <= 1 || refusedInOverview())
        return;
    ReplaceDialog dialog(m_grid, m_view->window());
    connect(&dialog, &ReplaceDialog::replaced, this, [this](const Replace::Result &result) {
        const Step step(m_history, QStringLiteral("Ersätt"));
        afterOperation(result.change);
        reportCuts(result.cuts);
        if (const QString none = result.noMatchText(); !none.isEmpty())
            emit statusMessage(none, 8000);
        gridEdited();
    });
    dialog.exec();
}

// ------------------------------------------------------------------------------ clipboard

void GridController::putOnClipboard(const std::optional<QString> &text)
{
    if (!text)
        return;
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(*text);
}

void GridController::afterPaste(const ClipboardBlocks::PasteResult &result)
{
    if (!result.refusal.isEmpty()) {
        emit statusMessage(result.refusal, 8000);
        return;
    }
    afterOperation(result.change);
    // Rows left out and values cut short, in one status text.
    QStringList report;
    if (!result.leftOut.isEmpty())
        report << result.leftOut;
    if (result.cuts.count() > 0)
        report << result.cuts.statusText();
    if (!report.isEmpty())
        emit statusMessage(report.join(u' '), 15000);
    if (result.edited)
        gridEdited();
}

void GridController::CopyClip()
{
    putOnClipboard(ClipboardBlocks::CopyClip(m_grid));
}

void GridController::CopyArticle()
{
    putOnClipboard(ClipboardBlocks::CopyArticle(m_grid));
}

void GridController::CutClip()
{
    runStep(QStringLiteral("Klipp ut"), "CutClip", Overview::Refused, [&] {
        const ClipboardBlocks::CutResult result = ClipboardBlocks::CutClip(m_grid);
        afterOperation(result.change);
        putOnClipboard(result.text);
        if (result.text && result.changed)
            gridEdited();
    });
}

void GridController::PasteClip()
{
    runStep(QStringLiteral("Klistra in"), "PasteClip", Overview::Refused, [&] {
        const QModelIndex current = m_view->currentIndex();
        const int row = current.isValid() ? current.row() + 1 : m_grid.selection().r1;
        const int column = current.isValid() ? current.column() : m_grid.selection().c1;
        const QString text = QApplication::clipboard()->text();
        afterPaste(ClipboardBlocks::PasteClip(m_grid, row, column, text));
    });
}

void GridController::mnuPasteArticle()
{
    runStep(QStringLiteral("Klistra in artiklar"), "mnuPasteArticle", Overview::Allowed, [&] {
        const QString text = QApplication::clipboard()->text();
        afterPaste(ClipboardBlocks::mnuPasteArticle(m_grid, text, shownKind()));
    });
}

void GridController::PasteArticlesAsNew()
{
    runStep(QStringLiteral("Klistra in som nya artiklar"), "PasteArticlesAsNew", Overview::Allowed,
            [&] {
                if (!m_session.database())
                    return;
                const QString text = QApplication::clipboard()->text();
                afterPaste(ClipboardBlocks::pasteAsNewArticles(m_grid, *m_session.database(), text,
                                                               shownKind()));
            });
}

void GridController::writeAccessoryGroup(const ArticleGrid::CellRange &target,
                                         const QString &blockName)
{
    if (refusedInOverview())
        return;
    // An editor opened since must not write its old text over the choice.
    m_view->discardOpenEditor();
    const Step step(m_history, QStringLiteral("Tillbehörsgrupp"));
    const AccessoryPick::Result result = AccessoryPick::writeBlockName(m_grid, target, blockName);
    afterOperation(result.change);
    reportCuts(result.cuts);
    if (result.edited)
        gridEdited();
}

void GridController::openContactDefinition(int row, int column)
{
    // The "..." button sits in the open editor: its text counts first, and the editor is gone
    // before the dialog's definition is written.
    commitTypedText();
    int firstRow = row;
    int lastRow = row;
    if (const auto selected = m_grid.dataSelection();
        selected && selected->r1 <= row && row <= selected->r2) {
        firstRow = selected->r1;
        lastRow = selected->r2;
    }
    ContactDefinitionDialog dialog(m_prompter, m_grid.text(firstRow, column), m_view->window());
    dialog.setFieldLength(m_grid.fieldLength(column));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Step step(m_history, QStringLiteral("Kontaktdefinition"));
    const ContactDefinition::WriteResult result =
        ContactDefinition::writeToGrid(m_grid, firstRow, lastRow, column, dialog.definition());
    if (!result.edited)
        return;
    afterOperation(result.change);
    reportCuts(result.cuts);
    gridEdited();
}

void GridController::openMoveRowsDialog(QPoint globalPosition)
{
    // Beside the clicked row, at the grid's left edge.
    const QPoint anchor(m_view->mapToGlobal(QPoint(0, 0)).x(), globalPosition.y());
    MoveRowsDialog::open(*this, anchor, m_view->window());
}

void GridController::moveRows(MoveRows::RowMove move)
{
    runStep(QStringLiteral("Flytta rader"), "MoveRows", Overview::Allowed, [&] {
        const MoveRows::Result result = MoveRows::move(m_grid, move, shownKind());
        if (!result.refusal.isEmpty()) {
            emit statusMessage(result.refusal, 8000);
            return;
        }
        if (!result.changed)
            return;
        afterOperation(result.change);
        gridEdited();
    });
}

void GridController::EvaluateTreeMode()
{
    ArticleGrid::CellRange range = m_grid.selection();
    if (range.r2 < range.r1)
        std::swap(range.r1, range.r2);
    if (range.c2 < range.c1)
        std::swap(range.c1, range.c2);
    m_grid.setSelection(range);
    emit selectionStatus(GridRules::selectionStatus(range.r2 - range.r1 + 1));
}
