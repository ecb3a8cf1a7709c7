#include "app/CommandTable.h"
#include "ui/Icons.h"

#include <QIcon>
#include <QImage>
#include <QTest>

#include <vector>

class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void everyIconRendersAtMenuAndHighDpiSizes_data();
    void everyIconRendersAtMenuAndHighDpiSizes();
    void menuItemSharesItsToolbarTwinsIcon_data();
    void menuItemSharesItsToolbarTwinsIcon();
    void unknownCommandHasNoIcon();
    void eachSizeTakesTheDrawingMadeForIt_data();
    void eachSizeTakesTheDrawingMadeForIt();
};

namespace {

std::vector<ToolbarItemSpec> toolbarCommands()
{
    std::vector<ToolbarItemSpec> commands = standardToolbar();
    commands.insert(commands.end(), saveToolbar().begin(), saveToolbar().end());
    return commands;
}

QImage render(const QIcon &icon, int size)
{
    return icon.pixmap(QSize(size, size), 1.0).toImage();
}

// A drawing that did not load (a wrong resource name, a broken file) renders transparent.
bool hasOpaquePixels(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 255)
                return true;
        }
    }
    return false;
}

} // namespace

void TestIcons::everyIconRendersAtMenuAndHighDpiSizes_data()
{
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<int>("size");
    for (int size : {16, 32}) {
        for (const ToolbarItemSpec &command : toolbarCommands()) {
            QTest::addRow("%d at %d px", command.id, size) << Icons::forCommand(command.id) << size;
        }
        QTest::addRow("application at %d px", size) << Icons::application() << size;
        QTest::addRow("large application at %d px", size) << Icons::applicationLarge() << size;
        QTest::addRow("loaded folder at %d px", size) << Icons::folder(false) << size;
        QTest::addRow("closed folder at %d px", size) << Icons::folder(true) << size;
    }
}

void TestIcons::everyIconRendersAtMenuAndHighDpiSizes()
{
    QFETCH(QIcon, icon);
    QFETCH(int, size);
    QVERIFY(!icon.isNull());
    const QImage image = render(icon, size);
    QVERIFY2(!image.isNull(), "no picture: is Qt's SVG icon engine plugin installed?");
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(hasOpaquePixels(image));
}

void TestIcons::menuItemSharesItsToolbarTwinsIcon_data()
{
    QTest::addColumn<int>("toolbarId");
    for (const ToolbarItemSpec &command : toolbarCommands())
        QTest::addRow("%d", command.id) << command.id;
}

void TestIcons::menuItemSharesItsToolbarTwinsIcon()
{
    QFETCH(int, toolbarId);
    const int menuId = menuCommandOf(toolbarId);
    QVERIFY(menuId != toolbarId);
    QCOMPARE(render(Icons::forCommand(menuId), 16), render(Icons::forCommand(toolbarId), 16));
}

void TestIcons::unknownCommandHasNoIcon()
{
    QVERIFY(Icons::forCommand(CommandId::Copy).isNull());
    QVERIFY(Icons::forCommand(CommandId::About).isNull());
}

void TestIcons::eachSizeTakesTheDrawingMadeForIt_data()
{
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("grid");

    const QIcon open = Icons::forCommand(CommandId::OpenMDB);
    QTest::newRow("menu") << open << "open-database" << 16 << 16;
    QTest::newRow("toolbar") << open << "open-database" << 24 << 24;
    QTest::newRow("menu at double scale") << open << "open-database" << 32 << 16;
    QTest::newRow("toolbar at double scale") << open << "open-database" << 48 << 24;
    QTest::newRow("no drawing of that size") << open << "open-database" << 64 << 24;
    const QIcon program = Icons::application();
    QTest::newRow("program at 48 px") << program << "application" << 48 << 48;
    QTest::newRow("program in the about box") << program << "application" << 64 << 48;
}

void TestIcons::eachSizeTakesTheDrawingMadeForIt()
{
    QFETCH(QIcon, icon);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, grid);
    const QIcon drawing(QStringLiteral(":/icons/%1/%2.svg").arg(grid).arg(name));
    QVERIFY(!drawing.isNull());
    QCOMPARE(render(icon, size), render(drawing, size));
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
