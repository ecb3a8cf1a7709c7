#include "ui/ArticleGridView.h"
#include "ui/FrozenColumns.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <memory>

class TestFrozenColumns : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void frozenSetFollowsTheHeaders_data();
    void frozenSetFollowsTheHeaders();
    void keyColumnsStayWhenScrolledRight();
    void clickOnFrozenCellMakesItCurrent();
    void rowSelectorReleaseReportsGridPosition();
    void widthsFollowEitherHeader();
    void frozenCellEditsOverTheFrozenColumns();
    void currentCellRightOfFrozenIsNotHidden();

private:
    std::unique_ptr<ArticleGridView> m_grid;
    std::unique_ptr<QStandardItemModel> m_model;
    FrozenColumns *frozen() const { return m_grid->frozenColumns(); }
    static QStringList catalogueHeaders();
};

QStringList TestFrozenColumns::catalogueHeaders()
{
    QStringList headers{"", "RAD", "BL_NAME", "TYP", "BENÄMNING"};
    for (int n = 0; n < 15; ++n)
        headers << QStringLiteral("F%1").arg(n);
    return headers;
}

void TestFrozenColumns::init()
{
    const QStringList headers = catalogueHeaders();
    m_model = std::make_unique<QStandardItemModel>(40, headers.size());
    m_model->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < 40; ++row)
        for (int column = 0; column < headers.size(); ++column)
            m_model->setItem(row, column,
                             new QStandardItem(QStringLiteral("%1:%2").arg(row).arg(column)));
    m_grid = std::make_unique<ArticleGridView>();
    m_grid->setModel(m_model.get());
    m_grid->setColumnHidden(1, true);
    for (int column = 0; column < headers.size(); ++column)
        if (column != 1)
            m_grid->setColumnWidth(column, 90);
    m_grid->resize(700, 300);
    m_grid->show();
    m_grid->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_grid.get()));
}

void TestFrozenColumns::cleanup()
{
    m_grid.reset();
    m_model.reset();
}

void TestFrozenColumns::frozenSetFollowsTheHeaders_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<int>("count");

    QTest::newRow("catalogue") << catalogueHeaders() << 5;
    QTest::newRow("key columns apart")
        << QStringList{"", "RAD", "TYP", "BL_NAME", "BENÄMNING", "X"} << 5;
    QTest::newRow("only TYP") << QStringList{"", "RAD", "BL_NAME", "TYP", "X", "Y"} << 4;
    QTest::newRow("neither") << QStringList{"", "RAD", "BL_NAME", "X", "Y"} << 1;
    QTest::newRow("TYP far right")
        << QStringList{"", "RAD", "BL_NAME", "A", "B", "C", "TYP", "BENÄMNING"} << 1;
}

void TestFrozenColumns::frozenSetFollowsTheHeaders()
{
    QFETCH(QStringList, headers);
    QFETCH(int, count);

    QCOMPARE(FrozenColumns::frozenCountFor(m_model.get()), 5);
    // Another catalogue: the model is filled again with other columns.
    m_model->clear();
    m_model->setColumnCount(headers.size());
    m_model->setRowCount(3);
    m_model->setHorizontalHeaderLabels(headers);
    QCOMPARE(frozen()->frozenCount(), count);
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(frozen()->isColumnHidden(column),
                 column >= count || m_grid->isColumnHidden(column));
    QCOMPARE(frozen()->accessibleName(), QString("Låsta kolumner"));
    QVERIFY(frozen()->objectName() != m_grid->objectName());
    QCOMPARE(frozen()->focusPolicy(), Qt::NoFocus);
}

void TestFrozenColumns::keyColumnsStayWhenScrolledRight()
{
    const QModelIndex type = m_model->index(2, 3);
    const QModelIndex designation = m_model->index(2, 4);
    const QRect typeBefore = m_grid->visualRect(type);
    const QRect designationBefore = m_grid->visualRect(designation);
    const QRect overlayBefore = frozen()->geometry();
    QCOMPARE(overlayBefore.width(), 4 * 90);

    QScrollBar *bar = m_grid->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QVERIFY(m_grid->columnViewportPosition(3) < 0); // the grid itself scrolled them away

    QVERIFY(frozen()->isVisible());
    QCOMPARE(frozen()->geometry(), overlayBefore);
    QCOMPARE(frozen()->visualRect(type), typeBefore);
    QCOMPARE(frozen()->visualRect(designation), designationBefore);
    QCOMPARE(m_grid->visualRect(type), typeBefore);
    QCOMPARE(m_grid->indexAt(designationBefore.center()), designation);
    QCOMPARE(frozen()->columnUnder(typeBefore.center().x()), 3);
    // Right of the frozen columns the grid's own scrolled columns are found.
    const int right = overlayBefore.width() + 10;
    QCOMPARE(m_grid->indexAt(QPoint(right, typeBefore.center().y())).column(),
             m_grid->columnAt(right));
}

void TestFrozenColumns::clickOnFrozenCellMakesItCurrent()
{
    m_grid->horizontalScrollBar()->setValue(m_grid->horizontalScrollBar()->maximum());
    const int scrolled = m_grid->horizontalScrollBar()->value();
    const QModelIndex designation = m_model->index(5, 4);
    QTest::mouseClick(frozen()->viewport(), Qt::LeftButton, {},
                      frozen()->visualRect(designation).center());
    QCOMPARE(m_grid->currentIndex(), designation);
    QVERIFY(m_grid->selectionModel()->isSelected(designation));
    // The grid keeps its sideways position: a frozen cell is always in sight.
    QCOMPARE(m_grid->horizontalScrollBar()->value(), scrolled);
}

void TestFrozenColumns::rowSelectorReleaseReportsGridPosition()
{
    m_grid->horizontalScrollBar()->setValue(m_grid->horizontalScrollBar()->maximum());
    QSignalSpy released(m_grid.get(), &ArticleGridView::mouseReleased);
    const QPoint selector = frozen()->visualRect(m_model->index(3, 0)).center();
    QTest::mouseClick(frozen()->viewport(), Qt::LeftButton, {}, selector);
    QCOMPARE(released.size(), 1);
    QCOMPARE(released.at(0).at(2).toPoint(), selector);
    QVERIFY(selector.x() <= m_grid->columnWidth(0));
    // The row selector picks the whole row.
    QVERIFY(m_grid->selectionModel()->isSelected(m_model->index(3, 10)));
    QCOMPARE(m_grid->currentIndex().row(), 3);
}

void TestFrozenColumns::widthsFollowEitherHeader()
{
    frozen()->horizontalHeader()->resizeSection(4, 150);
    QCOMPARE(m_grid->columnWidth(4), 150);
    QCOMPARE(frozen()->width(), 3 * 90 + 150);
    m_grid->setColumnWidth(2, 40);
    QCOMPARE(frozen()->columnWidth(2), 40);
    QCOMPARE(frozen()->width(), 2 * 90 + 40 + 150);
    m_grid->verticalHeader()->setDefaultSectionSize(33);
    QCOMPARE(frozen()->rowHeight(7), 33);
}

void TestFrozenColumns::frozenCellEditsOverTheFrozenColumns()
{
    m_grid->horizontalScrollBar()->setValue(m_grid->horizontalScrollBar()->maximum());
    const QModelIndex type = m_model->index(1, 3);
    m_grid->setCurrentIndex(type);
    m_grid->setFocus();
    QTest::keyClick(m_grid.get(), Qt::Key_X);
    QVERIFY(m_grid->isEditing());
    auto *editor = qobject_cast<QLineEdit *>(m_grid->indexWidget(type));
    QVERIFY(editor);
    QCOMPARE(editor->parentWidget(), frozen()->viewport());
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->geometry().topLeft(), frozen()->visualRect(type).topLeft());
    QVERIFY(editor->hasFocus());
    QCOMPARE(m_grid->currentIndex(), type);
    QTest::keyClicks(editor, "yz");
    QVERIFY(m_grid->commitOpenEditor());
    QCOMPARE(m_model->data(type).toString(), QString("xyz"));
    QVERIFY(!m_grid->isEditing());
}

void TestFrozenColumns::currentCellRightOfFrozenIsNotHidden()
{
    m_grid->horizontalScrollBar()->setValue(m_grid->horizontalScrollBar()->maximum());
    // The first unfrozen field would otherwise lie under the frozen columns.
    m_grid->setCurrentIndex(m_model->index(0, 6));
    m_grid->setCurrentIndex(m_model->index(0, 5));
    QVERIFY(m_grid->columnViewportPosition(5) >= frozen()->coveredWidth());
}

QTEST_MAIN(TestFrozenColumns)
#include "tst_frozencolumns.moc"
