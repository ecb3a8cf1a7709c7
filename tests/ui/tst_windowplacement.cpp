#include "ui/WindowPlacement.h"

#include "support/TestFiles.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keepOnScreensPullsTheWindowBack_data();
    void keepOnScreensPullsTheWindowBack();
    void newDialogOpensCentredOverItsOwner();
    void storedPlacementOffEveryScreenIsPulledBack();
    void dialogHasNoMinimiseOrMaximiseButton();
    void dialogIsWideEnoughForItsTitle();

private:
    QTemporaryDir m_dir;
};

void TestWindowPlacement::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
}

void TestWindowPlacement::keepOnScreensPullsTheWindowBack_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("expected");

    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    const QList<QRect> one{left};
    const QList<QRect> two{left, right};

    QTest::newRow("inside stays") << QRect(100, 100, 400, 300) << one << QRect(100, 100, 400, 300);
    QTest::newRow("off to the right")
        << QRect(5000, 100, 400, 300) << one << QRect(1520, 100, 400, 300);
    QTest::newRow("off above and left")
        << QRect(-900, -700, 400, 300) << one << QRect(0, 0, 400, 300);
    QTest::newRow("hanging over the bottom")
        << QRect(100, 1000, 400, 300) << one << QRect(100, 780, 400, 300);
    QTest::newRow("larger than the screen shrinks")
        << QRect(-50, -50, 3000, 2000) << one << QRect(0, 0, 1920, 1080);
    QTest::newRow("second screen keeps its window")
        << QRect(2000, 100, 400, 300) << two << QRect(2000, 100, 400, 300);
    QTest::newRow("mostly on the second screen goes there")
        << QRect(1800, 900, 400, 300) << two << QRect(1920, 724, 400, 300);
    QTest::newRow("removed screen falls back to the first")
        << QRect(4000, 100, 400, 300) << two << QRect(1520, 100, 400, 300);
    QTest::newRow("screen not at the origin")
        << QRect(0, 0, 400, 300) << QList<QRect>{QRect(-1280, 200, 1280, 1024)}
        << QRect(-400, 200, 400, 300);
    QTest::newRow("no screens known")
        << QRect(5000, 5000, 400, 300) << QList<QRect>{} << QRect(5000, 5000, 400, 300);
}

void TestWindowPlacement::keepOnScreensPullsTheWindowBack()
{
    QFETCH(QRect, window);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, expected);
    QCOMPARE(keepOnScreens(window, screens), expected);
}

void TestWindowPlacement::newDialogOpensCentredOverItsOwner()
{
    QWidget owner;
    owner.setGeometry(200, 150, 800, 600);
    QDialog dialog(&owner);
    dialog.setObjectName(QStringLiteral("frmCentred"));
    RestoreFormPosition(&dialog, 1500, 3000);
    const QPoint centre = dialog.geometry().center();
    QVERIFY2(qAbs(centre.x() - owner.frameGeometry().center().x()) <= 1,
             qPrintable(QString::number(centre.x())));
    QVERIFY2(qAbs(centre.y() - owner.frameGeometry().center().y()) <= 1,
             qPrintable(QString::number(centre.y())));
}

void TestWindowPlacement::storedPlacementOffEveryScreenIsPulledBack()
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmFaraway"));
    dialog.move(-30000, 40000);
    dialog.resize(300, 200);
    SaveFormPosition(&dialog);
    QDialog reopened;
    reopened.setObjectName(QStringLiteral("frmFaraway"));
    RestoreFormPosition(&reopened, 1500, 3000);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(area.contains(reopened.geometry()),
             qPrintable(QStringLiteral("%1,%2").arg(reopened.x()).arg(reopened.y())));
}

void TestWindowPlacement::dialogHasNoMinimiseOrMaximiseButton()
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmButtons"));
    RestoreFormPosition(&dialog, 1500, 3000);
    QCOMPARE(dialog.windowType(), Qt::Dialog);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
}

void TestWindowPlacement::dialogIsWideEnoughForItsTitle()
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmTitled"));
    const QString title(60, QLatin1Char('M'));
    dialog.setWindowTitle(title);
    RestoreFormPosition(&dialog, 500, 500);
    QVERIFY(dialog.width() > QFontMetrics(dialog.font()).horizontalAdvance(title));
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
