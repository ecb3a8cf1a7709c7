#include "ui/FindBar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

QList<ArticleSearch::Hit> threeHits()
{
    QList<ArticleSearch::Hit> hits;
    for (int i = 0; i < 3; ++i) {
        ArticleSearch::Hit hit;
        hit.rowId = i + 1;
        hit.blockName = QStringLiteral("ABCDI0%1").arg(i);
        hit.groupDescription = QStringLiteral("Grupp %1").arg(i);
        hit.designation = QStringLiteral("Ärm %1").arg(i);
        hits << hit;
    }
    return hits;
}

} // namespace

class TestFindBar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void labelsAndColumns();
    void enterSearchesThenSteps();
    void f3StepsBothWaysAndWraps();
    void doubleClickActivatesThatHit();
    void closeButtonHidesAndSignals();
    void aFindTakenUpAgainStartsAtTheFirstHit();
    void theListSaysHowManyHits_data();
    void theListSaysHowManyHits();

private:
    FindBar *m_bar = nullptr;
    QLineEdit *m_edit = nullptr;
};

void TestFindBar::init()
{
    m_bar = new FindBar;
    m_edit = m_bar->findChild<QLineEdit *>();
    // The window answers a search at once with the hits.
    connect(m_bar, &FindBar::searchRequested, m_bar, [this] { m_bar->setHits(threeHits()); });
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar));
}

void TestFindBar::cleanup()
{
    delete m_bar;
    m_bar = nullptr;
}

void TestFindBar::labelsAndColumns()
{
    auto *label = m_bar->findChild<QLabel *>();
    QCOMPARE(label->text(), QStringLiteral("Sök:"));
    QCOMPARE(label->buddy(), m_edit);
    QCOMPARE(m_edit->accessibleName(), QStringLiteral("Sök"));
    auto *list = m_bar->findChild<QTreeWidget *>();
    QStringList headers;
    for (int i = 0; i < list->columnCount(); ++i)
        headers << list->headerItem()->text(i);
    QCOMPARE(headers, (QStringList{"Grupp", "Fabrikat", "ARTNR", "BENÄMNING"}));
    m_bar->setHits(threeHits());
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Grupp 1"));
    QCOMPARE(list->topLevelItem(1)->text(3), QStringLiteral("Ärm 1"));
}

void TestFindBar::enterSearchesThenSteps()
{
    QSignalSpy searched(m_bar, &FindBar::searchRequested);
    QSignalSpy activated(m_bar, &FindBar::hitActivated);
    m_edit->setText(QStringLiteral("ärm"));
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCOMPARE(searched.size(), 1);
    QCOMPARE(searched[0][0].toString(), QStringLiteral("ärm"));
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCOMPARE(searched.size(), 1); // the same text is not searched again
    QCOMPARE(activated.size(), 2);
    QCOMPARE(activated[0][0].toInt(), 0);
    QCOMPARE(activated[1][0].toInt(), 1);

    // A changed text is a new search that starts at the first hit.
    QTest::keyClick(m_edit, Qt::Key_X);
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCOMPARE(searched.size(), 2);
    QCOMPARE(activated.last()[0].toInt(), 0);
}

void TestFindBar::f3StepsBothWaysAndWraps()
{
    QSignalSpy activated(m_bar, &FindBar::hitActivated);
    QTest::keyClicks(m_edit, QStringLiteral("a"));
    QTest::keyClick(m_edit, Qt::Key_F3);
    QTest::keyClick(m_edit, Qt::Key_F3);
    QTest::keyClick(m_edit, Qt::Key_F3);
    QTest::keyClick(m_edit, Qt::Key_F3);
    QTest::keyClick(m_edit, Qt::Key_F3, Qt::ShiftModifier);
    QList<int> order;
    for (const QList<QVariant> &args : activated)
        order << args[0].toInt();
    QCOMPARE(order, (QList<int>{0, 1, 2, 0, 2}));
    QCOMPARE(m_bar->currentIndex(), 2);
}

void TestFindBar::doubleClickActivatesThatHit()
{
    m_bar->setHits(threeHits());
    QSignalSpy activated(m_bar, &FindBar::hitActivated);
    auto *list = m_bar->findChild<QTreeWidget *>();
    emit list->itemActivated(list->topLevelItem(2), 0);
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated[0][0].toInt(), 2);
}

void TestFindBar::closeButtonHidesAndSignals()
{
    QSignalSpy closed(m_bar, &FindBar::closed);
    m_bar->findChild<QPushButton *>()->click();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!m_bar->isVisible());
}

void TestFindBar::aFindTakenUpAgainStartsAtTheFirstHit()
{
    QSignalSpy activated(m_bar, &FindBar::hitActivated);
    QTest::keyClicks(m_edit, QStringLiteral("a"));
    QTest::keyClick(m_edit, Qt::Key_F3);
    QTest::keyClick(m_edit, Qt::Key_F3);
    QCOMPARE(activated.last()[0].toInt(), 1);
    QTest::keyClick(m_edit, Qt::Key_Escape);
    QVERIFY(!m_bar->isVisible());
    m_bar->show();
    m_bar->focusSearch();
    QTest::keyClick(m_edit, Qt::Key_F3);
    QCOMPARE(activated.last()[0].toInt(), 0);
}

void TestFindBar::theListSaysHowManyHits_data()
{
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "Inga träffar";
    QTest::newRow("one") << 1 << "1 träff";
    QTest::newRow("three") << 3 << "3 träffar";
}

void TestFindBar::theListSaysHowManyHits()
{
    QFETCH(int, hits);
    QFETCH(QString, text);
    m_bar->setHits(threeHits().first(hits));
    QCOMPARE(m_bar->findChild<QLabel *>("lblHits")->text(), text);
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
