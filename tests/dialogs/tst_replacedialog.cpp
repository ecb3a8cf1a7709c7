#include "browse/ArticleGrid.h"
#include "dialogs/ReplaceDialog.h"

#include "support/GridFixture.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(ArticleGrid::CellRange)

namespace {

const QStringList kHeader{"RAD", "BL_NAME", "TYP", "BENÄMNING", "ARTNR"};

const QStringList kRows{
    "10|ABCDI010|10|M10|1010",
    "11|ABCDI010|10|K10|x",
};

ArticleGrid makeGrid(const QStringList &rows)
{
    return GridFixture::make(kHeader, rows);
}

using GridFixture::dump;

template <class T> T *control(const QWidget &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The dialog on a grid, with every replaced and gridEdited signal recorded.
struct Fixture
{
    explicit Fixture(const QStringList &rows, ArticleGrid::CellRange selection)
        : grid(makeGrid(rows))
    {
        grid.setSelection(selection);
        dialog = std::make_unique<ReplaceDialog>(grid);
        QObject::connect(dialog.get(), &ReplaceDialog::gridEdited,
                         [this](const ArticleGrid::CellRange &range) { edits << range; });
        QObject::connect(dialog.get(), &ReplaceDialog::replaced,
                         [this](const Replace::Result &result) { results << result; });
    }

    QLineEdit *find() const { return control<QLineEdit>(*dialog, "txtFind"); }
    QLineEdit *replacement() const { return control<QLineEdit>(*dialog, "txtReplace"); }
    QPushButton *replaceButton() const { return control<QPushButton>(*dialog, "cmdReplace"); }

    ArticleGrid grid;
    std::unique_ptr<ReplaceDialog> dialog;
    QList<ArticleGrid::CellRange> edits;
    QList<Replace::Result> results;
};

const ArticleGrid::CellRange kOneCell{1, 4, 1, 4};
const ArticleGrid::CellRange kTwoRows{1, 1, 2, 5};

} // namespace

class TestReplaceDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buttonFollowsTheTexts_data();
    void buttonFollowsTheTexts();
    void startingScope_data();
    void startingScope();
    void replacing_data();
    void replacing();
    void noDataRowKeepsTheDialogOpen();
    void cancelChangesNothing();
    void focusStartsInFindText();

private:
    QTemporaryDir m_settings;
};

void TestReplaceDialog::initTestCase()
{
    QVERIFY(m_settings.isValid());
    TestFiles::isolateSettings(m_settings.path());
}

void TestReplaceDialog::buttonFollowsTheTexts_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("refusal");

    QTest::newRow("empty find text") << ""
                                     << "x" << false << false;
    QTest::newRow("find text") << "10"
                               << "" << true << false;
    QTest::newRow("Windows-1252 replacement") << "10"
                                              << "Å€" << true << false;
    QTest::newRow("replacement outside Windows-1252") << "10"
                                                      << "1Ω" << false << true;
    QTest::newRow("both wrong") << ""
                                << "Ω" << false << true;
}

void TestReplaceDialog::buttonFollowsTheTexts()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, enabled);
    QFETCH(bool, refusal);

    Fixture f(kRows, kTwoRows);
    f.dialog->show();
    QVERIFY(!f.replaceButton()->isEnabled());
    f.replacement()->setText(replacement); // keyClicks takes Latin-1 only
    QTest::keyClicks(f.find(), find);
    QCOMPARE(f.replaceButton()->isEnabled(), enabled);
    QCOMPARE(control<QLabel>(*f.dialog, "lblError")->isVisible(), refusal);

    if (enabled) {
        f.find()->clear();
        QVERIFY(!f.replaceButton()->isEnabled());
        return;
    }
    // Neither a click on the disabled button nor Enter replaces anything.
    QTest::mouseClick(f.replaceButton(), Qt::LeftButton);
    QTest::keyClick(f.find(), Qt::Key_Return);
    QCOMPARE(dump(f.grid), kRows);
    QVERIFY(f.edits.isEmpty());
    QVERIFY(f.dialog->isVisible());
}

void TestReplaceDialog::startingScope_data()
{
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<bool>("shownArticles");

    QTest::newRow("one cell") << kOneCell << true;
    QTest::newRow("one column, two rows") << ArticleGrid::CellRange{1, 4, 2, 4} << false;
    QTest::newRow("whole rows") << kTwoRows << false;
}

void TestReplaceDialog::startingScope()
{
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(bool, shownArticles);

    Fixture f(kRows, selection);
    QCOMPARE(control<QRadioButton>(*f.dialog, "optReplace0")->isChecked(), !shownArticles);
    QCOMPARE(control<QRadioButton>(*f.dialog, "optReplace1")->isChecked(), shownArticles);
}

void TestReplaceDialog::replacing_data()
{
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<QString>("chosenScope");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<ArticleGrid::CellRange>("reported");

    QTest::newRow("one cell replaces in every shown article from column 4")
        << kOneCell << ""
        << "10" << QStringList{"10|ABCDI010|10|M16|1616", "11|ABCDI010|10|K16|x"}
        << ArticleGrid::CellRange{1, 4, 2, 5};
    QTest::newRow("the selection, chosen by hand")
        << kOneCell << "optReplace0"
        << "10" << QStringList{"10|ABCDI010|10|M16|1010", kRows[1]} << kOneCell;
    QTest::newRow("whole rows keep RAD, BL_NAME and TYP")
        << kTwoRows << ""
        << "10" << QStringList{"10|ABCDI010|10|M16|1616", "11|ABCDI010|10|K16|x"} << kTwoRows;
    QTest::newRow("shown articles, chosen by hand")
        << ArticleGrid::CellRange{2, 4, 2, 5} << "optReplace1"
        << "10" << QStringList{"10|ABCDI010|10|M16|1616", "11|ABCDI010|10|K16|x"}
        << ArticleGrid::CellRange{1, 4, 2, 5};
    // The window still enters its edited state when nothing matched.
    QTest::newRow("no match") << kTwoRows << ""
                              << "zz" << kRows << kTwoRows;
}

void TestReplaceDialog::replacing()
{
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(QString, chosenScope);
    QFETCH(QString, find);
    QFETCH(QStringList, expected);
    QFETCH(ArticleGrid::CellRange, reported);

    Fixture f(kRows, selection);
    f.dialog->show();
    if (!chosenScope.isEmpty())
        QTest::mouseClick(control<QRadioButton>(*f.dialog, qPrintable(chosenScope)),
                          Qt::LeftButton);
    QTest::keyClicks(f.find(), find);
    QTest::keyClicks(f.replacement(), QStringLiteral("16"));
    QTest::mouseClick(f.replaceButton(), Qt::LeftButton);

    QCOMPARE(dump(f.grid), expected);
    QCOMPARE(f.edits.size(), 1);
    const ArticleGrid::CellRange range = f.edits.first();
    QCOMPARE(QList<int>({range.r1, range.c1, range.r2, range.c2}),
             QList<int>({reported.r1, reported.c1, reported.r2, reported.c2}));
    // The covered cells are the selection the window shows afterwards.
    QCOMPARE(f.grid.selection(), reported);
    QCOMPARE(f.results.size(), 1);
    QCOMPARE(f.results.first().changed > 0, expected != kRows);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
}

void TestReplaceDialog::noDataRowKeepsTheDialogOpen()
{
    Fixture f({}, kOneCell);
    f.dialog->show();
    QTest::keyClicks(f.find(), QStringLiteral("10"));
    QTest::mouseClick(f.replaceButton(), Qt::LeftButton);
    QVERIFY(f.edits.isEmpty());
    QVERIFY(f.results.isEmpty());
    QVERIFY(f.dialog->isVisible());
}

void TestReplaceDialog::cancelChangesNothing()
{
    Fixture f(kRows, kTwoRows);
    f.dialog->show();
    QTest::keyClicks(f.find(), QStringLiteral("10"));
    QTest::mouseClick(control<QPushButton>(*f.dialog, "cmdCancel"), Qt::LeftButton);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
    QVERIFY(f.edits.isEmpty());
    QCOMPARE(dump(f.grid), kRows);
}

void TestReplaceDialog::focusStartsInFindText()
{
    Fixture f(kRows, kTwoRows);
    f.dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    QCOMPARE(QApplication::focusWidget(), f.find());
}

QTEST_MAIN(TestReplaceDialog)
#include "tst_replacedialog.moc"
