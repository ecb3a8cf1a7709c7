#include "ui/FileDialogDetails.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class TestFileDialogDetails : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sizesAndDatesInSwedish();
    void opensWideEnoughForEveryColumn();
};

void TestFileDialogDetails::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
}

void TestFileDialogDetails::sizesAndDatesInSwedish()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("katalog.tdb")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3 * 1024 + 512, 'x'));
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(QDateTime(QDate(2024, 12, 5), QTime(14, 7)),
                             QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Arkiv")));

    QFileDialog dialog(nullptr, QStringLiteral("Öppna databas"), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    showFileDetailsInProgramLocale(dialog);
    auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    QVERIFY(details);
    const QAbstractItemModel *model = details->model();
    // The folder is read in the background.
    QTRY_COMPARE(model->rowCount(details->rootIndex()), 2);

    QMap<QString, QStringList> rows;
    for (int row = 0; row < 2; ++row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << model->index(row, column, details->rootIndex()).data().toString();
        rows.insert(cells.takeFirst(), cells);
    }
    QCOMPARE(rows.value("katalog.tdb").value(0), QString("3,50 KiB"));
    QCOMPARE(rows.value("katalog.tdb").value(2), QString("2024-12-05 14:07"));
    // A folder has no size; its type comes from Qt's catalogue, untouched here.
    QCOMPARE(rows.value("Arkiv").value(0), QString());
}

void TestFileDialogDetails::opensWideEnoughForEveryColumn()
{
    QTemporaryDir dir;
    QFileDialog dialog(nullptr, QStringLiteral("Öppna databas"), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    sizeToShowEveryColumn(dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    QVERIFY(details);
    QHeaderView *header = details->header();
    QVERIFY2(
        header->length() <= details->viewport()->width(),
        qPrintable(
            QStringLiteral("%1 > %2").arg(header->length()).arg(details->viewport()->width())));
    QVERIFY(header->sectionSize(0) >= dialog.fontMetrics().horizontalAdvance(QString(30, 'x')));
}

QTEST_MAIN(TestFileDialogDetails)
#include "tst_filedialogdetails.moc"
