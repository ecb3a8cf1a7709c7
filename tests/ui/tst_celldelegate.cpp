#include "ui/CellDelegate.h"

#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

class TestCellDelegate : public QObject
{
    Q_OBJECT

private slots:
    void ellipsisLeavesTheTextTheCellsWidth_data();
    void ellipsisLeavesTheTextTheCellsWidth();
};

void TestCellDelegate::ellipsisLeavesTheTextTheCellsWidth_data()
{
    QTest::addColumn<bool>("ellipsis");
    QTest::addColumn<int>("columnWidth");

    QTest::newRow("plain narrow cell") << false << 40;
    QTest::newRow("narrow cell with a button") << true << 40;
    QTest::newRow("wide cell with a button") << true << 200;
}

void TestCellDelegate::ellipsisLeavesTheTextTheCellsWidth()
{
    QFETCH(bool, ellipsis);
    QFETCH(int, columnWidth);

    QStandardItemModel model(3, 3);
    QTableView view;
    view.setModel(&model);
    CellDelegate delegate(
        [ellipsis](int) { return GridRules::EditRule{.allowed = true, .ellipsis = ellipsis}; });
    view.setItemDelegate(&delegate);
    view.setColumnWidth(1, columnWidth);
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QModelIndex index = model.index(1, 1);
    view.edit(index);
    auto *editor = qobject_cast<QLineEdit *>(view.indexWidget(index));
    QVERIFY(editor);
    QCOMPARE(editor->actions().isEmpty(), !ellipsis);
    const int cell = view.visualRect(index).width();
    if (!ellipsis) {
        QCOMPARE(editor->width(), cell);
        return;
    }
    // The button's room (a 16 pixel icon with its padding) comes on top of the cell's width.
    QVERIFY2(editor->width() >= cell + 16 + 6,
             qPrintable(QStringLiteral("%1 for %2").arg(editor->width()).arg(cell)));
}

QTEST_MAIN(TestCellDelegate)
#include "tst_celldelegate.moc"
