#include "ui/WindowPlacement.h"

#include "support/TestFiles.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A dialog of a class of its own, as every program dialog is.
class SampleDialog : public QDialog
{
    Q_OBJECT

public:
    SampleDialog() { setObjectName(QStringLiteral("frmSample")); }
};

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
    void keptPlacementIsStoredOncePerClose_data();
    void keptPlacementIsStoredOncePerClose();

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

void TestWindowPlacement::keptPlacementIsStoredOncePerClose_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("stores");

    QTest::newRow("closed") << QStringList{"show", "close"} << 1;
    QTest::newRow("cancelled") << QStringList{"show", "reject"} << 1;
    QTest::newRow("Escape") << QStringList{"show", "escape"} << 1;
    QTest::newRow("closed twice") << QStringList{"show", "close", "close"} << 1;
    QTest::newRow("opened twice") << QStringList{"show", "close", "show", "accept"} << 2;
    QTest::newRow("never shown") << QStringList{"reject", "close"} << 0;
    QTest::newRow("placed again while open") << QStringList{"show", "place", "close"} << 1;
    QTest::newRow("destroyed while open") << QStringList{"show", "destroy"} << 0;
}

void TestWindowPlacement::keptPlacementIsStoredOncePerClose()
{
    QFETCH(QStringList, steps);
    QFETCH(int, stores);
    TestFiles::clearUserSettings();

    int asked = 0;
    const auto wanted = [&asked] {
        ++asked;
        return true;
    };
    auto dialog = std::make_unique<SampleDialog>();
    keepPlacement(dialog.get(), 1500, 3000, wanted);
    for (const QString &step : steps) {
        if (step == QLatin1String("show"))
            dialog->show();
        else if (step == QLatin1String("close"))
            dialog->close();
        else if (step == QLatin1String("reject"))
            dialog->reject();
        else if (step == QLatin1String("accept"))
            dialog->accept();
        else if (step == QLatin1String("escape"))
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else if (step == QLatin1String("place"))
            keepPlacement(dialog.get(), 1500, 3000, wanted);
        else if (step == QLatin1String("destroy"))
            dialog.reset();
    }

    QCOMPARE(asked, stores);
    QCOMPARE(TestFiles::storedSetting(QStringLiteral("Width"), QStringLiteral("Sample")).isEmpty(),
             stores == 0);
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
