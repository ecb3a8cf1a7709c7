#include "dialogs/MoveRowsDialog.h"

#include "ui/WindowPlacement.h"

#include "support/TestFiles.h"

#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using MoveRows::RowMove;

namespace {

// The main window's part: its grid, and each move performed on it as the window would.
class GridTarget final : public MoveRowsTarget
{
public:
    explicit GridTarget(int dataRows, int r1, int r2)
    {
        m_grid.setupColumns({{"RAD", {}, 6, 0}, {"BL_NAME", {}, 8, 1}, {"BENÄMNING", {}, 20, 9}});
        for (int r = 1; r <= dataRows; ++r)
            m_grid.AddGridRow({QString(), QString::number(r * 10), "ABCDI010",
                               QStringLiteral("Artikel %1").arg(r)},
                              r);
        m_grid.setSelection({r1, 1, r2, 3});
    }

    const ArticleGrid &moveRowsGrid() const override { return m_grid; }
    void moveRows(RowMove move) override
    {
        moves << move;
        MoveRows::move(m_grid, move, ArticleSelection::Kind::Group);
    }

    QStringList names() const
    {
        QStringList values;
        for (int r = 1; r < m_grid.rows(); ++r)
            values << m_grid.text(r, 3).mid(8);
        return values;
    }

    QList<RowMove> moves;

private:
    ArticleGrid m_grid;
};

QPushButton *button(const QWidget &dialog, const char *name)
{
    auto *widget = dialog.findChild<QPushButton *>(QLatin1String(name));
    if (!widget)
        qFatal("no button %s", name);
    return widget;
}

// Which buttons are enabled, as "up dn top bottom" with "-" for a disabled one.
QString enabledButtons(const QWidget &dialog)
{
    QStringList states;
    for (const char *name : {"cmdMoveUp", "cmdMoveDn", "cmdMoveToTop", "cmdMoveToBottom"})
        states << (button(dialog, name)->isEnabled() ? QString::fromLatin1(name + 3) : "-");
    return states.join(' ');
}

QPoint screenCentre()
{
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

} // namespace

class TestMoveRowsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void buttons();
    void enabling_data();
    void enabling();
    void clickMovesAndFollowsTheBlock();
    void keyClosesWithoutMoving_data();
    void keyClosesWithoutMoving();
    void closesWhenDeactivated();
    void placedLeftOfTheGridAtTheClick();

private:
    QTemporaryDir m_dir;
};

void TestMoveRowsDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
}

void TestMoveRowsDialog::buttons()
{
    GridTarget target(5, 2, 3);
    MoveRowsDialog dialog(target);
    QCOMPARE(dialog.objectName(), QStringLiteral("frmMoveRows"));
    QVERIFY(!dialog.isModal());
    QCOMPARE(button(dialog, "cmdMoveUp")->text(), QStringLiteral("Flytta upp"));
    QCOMPARE(button(dialog, "cmdMoveDn")->text(), QStringLiteral("Flytta ned"));
    QCOMPARE(button(dialog, "cmdMoveToTop")->text(), QStringLiteral("Flytta längst upp"));
    QCOMPARE(button(dialog, "cmdMoveToBottom")->text(), QStringLiteral("Flytta längst ned"));
}

void TestMoveRowsDialog::enabling_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<bool>("opens");
    QTest::newRow("middle") << 5 << 2 << 4 << "MoveUp MoveDn MoveToTop MoveToBottom" << true;
    QTest::newRow("at the top") << 5 << 1 << 2 << "- MoveDn - MoveToBottom" << true;
    QTest::newRow("at the bottom") << 5 << 4 << 5 << "MoveUp - MoveToTop -" << true;
    QTest::newRow("every row") << 5 << 1 << 5 << "- - - -" << false;
    QTest::newRow("the only row") << 1 << 1 << 1 << "- - - -" << false;
}

void TestMoveRowsDialog::enabling()
{
    QFETCH(int, dataRows);
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(QString, enabled);
    QFETCH(bool, opens);
    GridTarget target(dataRows, r1, r2);
    {
        MoveRowsDialog dialog(target);
        QCOMPARE(enabledButtons(dialog), enabled);
    }
    QPointer<MoveRowsDialog> opened = MoveRowsDialog::open(target, screenCentre(), nullptr);
    QCOMPARE(!opened.isNull(), opens);
    if (opened) {
        QVERIFY(opened->isVisible());
        QVERIFY(opened->testAttribute(Qt::WA_DeleteOnClose));
        opened->close();
        QTRY_VERIFY(opened.isNull());
    }
    QVERIFY(target.moves.isEmpty());
}

void TestMoveRowsDialog::clickMovesAndFollowsTheBlock()
{
    GridTarget target(5, 1, 2);
    MoveRowsDialog dialog(target);
    dialog.show();
    QCOMPARE(enabledButtons(dialog), QStringLiteral("- MoveDn - MoveToBottom"));

    QTest::mouseClick(button(dialog, "cmdMoveDn"), Qt::LeftButton);
    QCOMPARE(target.moves, QList<RowMove>{RowMove::Down});
    QCOMPARE(target.names(), (QStringList{"3", "1", "2", "4", "5"}));
    QCOMPARE(enabledButtons(dialog), QStringLiteral("MoveUp MoveDn MoveToTop MoveToBottom"));

    QTest::mouseClick(button(dialog, "cmdMoveToBottom"), Qt::LeftButton);
    QCOMPARE(target.names(), (QStringList{"3", "4", "5", "1", "2"}));
    QCOMPARE(enabledButtons(dialog), QStringLiteral("MoveUp - MoveToTop -"));
    // Keys still close it: the focus went back to an up/down button.
    QVERIFY(dialog.focusWidget() == button(dialog, "cmdMoveUp"));

    QTest::mouseClick(button(dialog, "cmdMoveUp"), Qt::LeftButton);
    QTest::mouseClick(button(dialog, "cmdMoveToTop"), Qt::LeftButton);
    QCOMPARE(target.moves,
             (QList<RowMove>{RowMove::Down, RowMove::ToBottom, RowMove::Up, RowMove::ToTop}));
    QCOMPARE(target.names(), (QStringList{"1", "2", "3", "4", "5"}));
    QCOMPARE(enabledButtons(dialog), QStringLiteral("- MoveDn - MoveToBottom"));
    QVERIFY(dialog.isVisible());
}

void TestMoveRowsDialog::keyClosesWithoutMoving_data()
{
    QTest::addColumn<QString>("focus"); // empty: the dialog itself
    QTest::addColumn<int>("key");
    QTest::newRow("space on up") << "cmdMoveUp" << int(Qt::Key_Space);
    QTest::newRow("enter on up") << "cmdMoveUp" << int(Qt::Key_Return);
    QTest::newRow("letter on down") << "cmdMoveDn" << int(Qt::Key_A);
    QTest::newRow("arrow on down") << "cmdMoveDn" << int(Qt::Key_Down);
    QTest::newRow("tab on down") << "cmdMoveDn" << int(Qt::Key_Tab);
    QTest::newRow("escape on the dialog") << "" << int(Qt::Key_Escape);
    QTest::newRow("letter on the dialog") << "" << int(Qt::Key_X);
}

void TestMoveRowsDialog::keyClosesWithoutMoving()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    GridTarget target(5, 2, 3);
    QPointer<MoveRowsDialog> dialog = MoveRowsDialog::open(target, screenCentre(), nullptr);
    QVERIFY(dialog);
    QWidget *receiver = dialog;
    if (!focus.isEmpty()) {
        receiver = button(*dialog, qPrintable(focus));
        receiver->setFocus();
    }
    QTest::keyClick(receiver, Qt::Key(key));
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(target.moves.isEmpty());
    QCOMPARE(target.names(), (QStringList{"1", "2", "3", "4", "5"}));
}

void TestMoveRowsDialog::closesWhenDeactivated()
{
    GridTarget target(5, 2, 3);
    QWidget grid;
    grid.show();
    QPointer<MoveRowsDialog> dialog = MoveRowsDialog::open(target, screenCentre(), &grid);
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    grid.activateWindow();
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(target.moves.isEmpty());
}

void TestMoveRowsDialog::placedLeftOfTheGridAtTheClick()
{
    GridTarget target(5, 2, 3);
    MoveRowsDialog dialog(target);
    const QPoint anchor = screenCentre();
    dialog.placeBeside(anchor);
    const QRect frame = dialog.frameGeometry();
    QCOMPARE(frame.right() + 1, anchor.x() + Twips::toPixels(50));
    QCOMPARE(frame.top(), anchor.y() - button(dialog, "cmdMoveToBottom")->sizeHint().height() / 2);

    // Beside a grid at the screen's left edge it stays on the screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    dialog.placeBeside(QPoint(area.left() + 10, area.top() + 2));
    QCOMPARE(dialog.frameGeometry().topLeft(), area.topLeft());
}

QTEST_MAIN(TestMoveRowsDialog)
#include "tst_moverowsdialog.moc"
