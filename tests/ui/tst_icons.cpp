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
    void everyToolbarCommandHasADrawing();
    void eachSizeTakesTheDrawingMadeForIt_data();
    void eachSizeTakesTheDrawingMadeForIt();
};

namespace {

// The commands that show on a toolbar with a picture.
std::vector<CommandSpec> toolbarCommands()
{
    std::vector<CommandSpec> commands;
    for (const CommandSpec &spec : commandTable()) {
        if (spec.icon)
            commands.push_back(spec);
    }
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
        for (const CommandSpec &command : toolbarCommands())
            QTest::addRow("%s at %d px", command.icon, size) << Icons::named(command.icon) << size;
        QTest::addRow("application at %d px", size) << Icons::application() << size;
        QTest::addRow("loaded folder at %d px", size) << Icons::folder(false) << size;
        QTest::addRow("closed folder at %d px", size) << Icons::folder(true) << size;
        QTest::addRow("manufacturer at %d px", size) << Icons::manufacturer() << size;
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

void TestIcons::everyToolbarCommandHasADrawing()
{
    // The standard and save bars show pictures; every command on them names one.
    for (const ToolbarSpec &bar : toolbarTable()) {
        if (QByteArray(bar.objectName) == "tbSchemes")
            continue;
        for (const ToolbarItem &item : bar.items)
            QVERIFY2(commandSpec(item.id)->icon, bar.objectName);
    }
    QVERIFY(Icons::named(nullptr).isNull());
}

void TestIcons::eachSizeTakesTheDrawingMadeForIt_data()
{
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("grid");

    const QIcon open = Icons::named("open-database");
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
