#include "browse/ArticleGrid.h"
#include "db/Database.h"
#include "dialogs/AccessoryPickerDialog.h"
#include "dialogs/ChangePrefixDialog.h"
#include "dialogs/ContactDefinitionDialog.h"
#include "dialogs/FieldEditDialog.h"
#include "dialogs/NewGroupDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/ReplaceDialog.h"
#include "edit/ContactPresets.h"
#include "ui/WindowPlacement.h"

#include "support/CatalogueFixture.h"
#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using CatalogueFixture::line;

namespace {

// What the dialogs are built on; one set per test function.
struct Needs
{
    Database &db;
    ArticleGrid &grid;
    ScriptedPrompter &prompter;
};

using Factory = std::function<std::unique_ptr<QDialog>(Needs &)>;

const QStringList kNames{"Top", "Left", "Height", "Width"};

// Somewhat larger than the dialog opened and away from its first place, on the screen as far as
// it fits: a dialog's layout may need more than the small offscreen screen.
QRect anotherPlacement(const QDialog &dialog, const QPoint &offset)
{
    const QRect area = dialog.screen()->availableGeometry();
    const QSize size =
        (dialog.size() + QSize(30, 20)).boundedTo(area.size().expandedTo(dialog.size()));
    // A dialog wider than the screen starts at its edge.
    const int freeWidth = qMax(0, area.width() - size.width());
    const int freeHeight = qMax(0, area.height() - size.height());
    return {area.topLeft() +
                QPoint(qBound(0, offset.x(), freeWidth), qBound(0, offset.y(), freeHeight)),
            size};
}

void storePlacement(const QString &section, const QPoint &topLeft, const QSize &size)
{
    const QList<int> pixels{topLeft.y(), topLeft.x(), size.height(), size.width()};
    for (int i = 0; i < kNames.size(); ++i)
        TestFiles::storeSetting(kNames.at(i), QString::number(Twips::fromPixels(pixels.at(i))),
                                section);
}

QStringList storedPlacement(const QString &section)
{
    QStringList values;
    for (const QString &name : kNames)
        values << TestFiles::storedSetting(name, section);
    return values;
}

struct Kept
{
    const char *name;
    QString section;
    Factory make;
};

// Every dialog that keeps its placement, with its settings section.
QList<Kept> keptDialogs()
{
    return {
        {"Options", "Options",
         [](Needs &n) { return std::make_unique<OptionsDialog>(n.prompter); }},
        {"new article group", "NewArticleGroup",
         [](Needs &n) { return std::make_unique<NewGroupDialog>(n.db, n.prompter, false); }},
        {"new accessory group", "NewAccGroup",
         [](Needs &n) { return std::make_unique<NewGroupDialog>(n.db, n.prompter, true); }},
        {"change prefix", "ChangePrefix",
         [](Needs &n) { return std::make_unique<ChangePrefixDialog>(n.db, n.prompter); }},
        {"field length", "FieldEdit",
         [](Needs &n) {
             return std::make_unique<FieldEditDialog>(n.db, n.prompter, QStringLiteral("BENÄMNING"),
                                                      QStringLiteral("20"),
                                                      QStringLiteral("Benämning"));
         }},
        {"replace", "Replace", [](Needs &n) { return std::make_unique<ReplaceDialog>(n.grid); }},
        {"contact definition", "ContactDef",
         [](Needs &n) {
             return std::make_unique<ContactDefinitionDialog>(
                 n.prompter, QString(),
                 TerminalDefinitions::parse(TestFiles::crlf({"M", " 1 2", " 3 4"})));
         }},
        // The picker places itself when it loads its list, not when it is built.
        {"accessory picker", "SelAccessGroup",
         [](Needs &n) -> std::unique_ptr<QDialog> {
             auto picker = std::make_unique<AccessoryPickerDialog>(n.db, n.prompter);
             if (!picker->load())
                 return nullptr;
             return picker;
         }},
    };
}

} // namespace

Q_DECLARE_METATYPE(Factory)

class TestDialogPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openedWhereStored_data();
    void openedWhereStored();
    void closingStoresPlacementOnlyWhenWanted_data();
    void closingStoresPlacementOnlyWhenWanted();

private:
    Needs needs() { return {*m_db, m_grid, m_prompter}; }

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    ArticleGrid m_grid =
        GridFixture::make({"RAD", "BL_NAME", "TYP", "BENÄMNING"}, {"10|ABCDI010|1|Kontaktor"});
    ScriptedPrompter m_prompter;
};

void TestDialogPlacement::initTestCase()
{
    QVERIFY(m_settings.isValid());
    TestFiles::isolateSettings(m_settings.path());
}

void TestDialogPlacement::init()
{
    TestFiles::clearUserSettings();
    QFile::remove(ContactPresets::defaultFile());
    m_dir = std::make_unique<QTemporaryDir>();
    const QString path = CatalogueFixture::importDatabase(m_dir->path(), QStringLiteral("art"),
                                                          {line("ABCDI010", "1", "Kontaktor"),
                                                           line("ABCD#001", "1", "TILLB Lock"),
                                                           line("ABCDI999", "", "=ABCDI010")});
    m_db = std::make_unique<Database>(path, Database::OpenMode::ReadWrite);
    m_prompter = ScriptedPrompter();
}

void TestDialogPlacement::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestDialogPlacement::openedWhereStored_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<Factory>("make");
    for (const Kept &dialog : keptDialogs())
        QTest::newRow(dialog.name) << dialog.section << dialog.make;
}

void TestDialogPlacement::openedWhereStored()
{
    QFETCH(QString, section);
    QFETCH(Factory, make);
    Needs n = needs();
    QRect stored;
    {
        const std::unique_ptr<QDialog> first = make(n);
        QVERIFY(first);
        QCOMPARE(placementSection(first.get()), section);
        // Shown: a layout may need more than the screen, which only showing settles.
        first->show();
        stored = anotherPlacement(*first, QPoint(100, 50));
        first->close();
    }
    storePlacement(section, stored.topLeft(), stored.size());

    const std::unique_ptr<QDialog> dialog = make(n);
    dialog->show();

    QCOMPARE(dialog->pos(), stored.topLeft());
    QCOMPARE(dialog->size(), stored.size());
    dialog->close();
}

void TestDialogPlacement::closingStoresPlacementOnlyWhenWanted_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<Factory>("make");
    QTest::addColumn<QString>("saveWinProp");
    QTest::addColumn<QString>("closing"); // "close" the window, or "reject" through done()

    for (const Kept &dialog : keptDialogs()) {
        const auto row = [&](const char *what) { return QByteArray(dialog.name) + ", " + what; };
        QTest::newRow(row("on, window closed").constData()) << dialog.section << dialog.make << "1"
                                                            << "close";
        QTest::newRow(row("on, cancelled").constData()) << dialog.section << dialog.make << "1"
                                                        << "reject";
        QTest::newRow(row("off, window closed").constData()) << dialog.section << dialog.make << "0"
                                                             << "close";
        QTest::newRow(row("off, cancelled").constData()) << dialog.section << dialog.make << "0"
                                                         << "reject";
    }
}

void TestDialogPlacement::closingStoresPlacementOnlyWhenWanted()
{
    QFETCH(QString, section);
    QFETCH(Factory, make);
    QFETCH(QString, saveWinProp);
    QFETCH(QString, closing);
    TestFiles::storeSetting(QStringLiteral("SaveWinProp"), saveWinProp, QStringLiteral("Options"));

    Needs n = needs();
    QPoint closedAt;
    QSize closedSize;
    {
        const std::unique_ptr<QDialog> dialog = make(n);
        QVERIFY(dialog);
        dialog->show();
        const QRect moved = anotherPlacement(*dialog, QPoint(40, 60));
        dialog->move(moved.topLeft());
        dialog->resize(moved.size());
        closedAt = dialog->pos();
        closedSize = dialog->size();
        if (closing == QLatin1String("close"))
            dialog->close();
        else
            dialog->reject();
        QVERIFY(!dialog->isVisible());
    }

    if (saveWinProp != QLatin1String("1")) {
        QCOMPARE(storedPlacement(section), QStringList(kNames.size(), QString()));
        return;
    }
    for (const QString &value : storedPlacement(section))
        QVERIFY2(!value.isEmpty(), qPrintable(storedPlacement(section).join(',')));
    // The next one opens where this one was closed.
    const std::unique_ptr<QDialog> next = make(n);
    next->show();
    QCOMPARE(next->pos(), closedAt);
    QCOMPARE(next->size(), closedSize);
    next->close();
}

QTEST_MAIN(TestDialogPlacement)
#include "tst_dialogplacement.moc"
