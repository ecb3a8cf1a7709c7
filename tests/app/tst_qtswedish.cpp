#include "app/Startup.h"

#include <QAbstractItemModel>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <memory>

namespace {

// Qt's and ours, as the program loads them at start; once per process.
void loadAsTheProgramDoes()
{
    static const bool qtsLoaded = installQtTranslations();
    QVERIFY2(qtsLoaded, "Qt's Swedish catalogue (qt6-translations-l10n) is not installed");
}

// A menu's items as shown, without the shortcut Qt may add after a tab.
QStringList itemTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions()) {
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    return texts;
}

} // namespace

class TestQtSwedish : public QObject
{
    Q_OBJECT

private slots:
    void builtInCatalogueLoadsWithoutQts();
    void translatedTexts_data();
    void translatedTexts();
    void standardButtons_data();
    void standardButtons();
    void messageBoxButtons();
    void fileDialog();
    void textFieldMenus();
    void colourAndInputDialogs();
};

void TestQtSwedish::builtInCatalogueLoadsWithoutQts()
{
    QTemporaryDir noCatalogues;
    QVERIFY(!installQtTranslations(noCatalogues.path()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Avbryt"));
    QCOMPARE(QCoreApplication::translate("QLineEdit", "Select All"), QString("Markera allt"));
}

void TestQtSwedish::translatedTexts_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("disambiguation");
    QTest::addColumn<QString>("swedish");

    const struct
    {
        const char *context;
        const char *source;
        const char *disambiguation;
        const char *swedish;
    } texts[] = {
        // Standard buttons of message boxes and button boxes.
        {"QPlatformTheme", "OK", "", "OK"},
        {"QPlatformTheme", "Cancel", "", "Avbryt"},
        {"QPlatformTheme", "&Yes", "", "&Ja"},
        {"QPlatformTheme", "&No", "", "&Nej"},
        {"QPlatformTheme", "Yes to &All", "", "Ja till &alla"},
        {"QPlatformTheme", "N&o to All", "", "N&ej till alla"},
        {"QPlatformTheme", "Close", "", "Stäng"},
        {"QPlatformTheme", "Save", "", "Spara"},
        {"QPlatformTheme", "Open", "", "Öppna"},
        {"QPlatformTheme", "Apply", "", "Verkställ"},
        {"QPlatformTheme", "Reset", "", "Återställ"},
        {"QPlatformTheme", "Help", "", "Hjälp"},
        // The same on a GNOME desktop.
        {"QGnomeTheme", "&OK", "", "&OK"},
        {"QGnomeTheme", "&Cancel", "", "&Avbryt"},
        {"QGnomeTheme", "&Save", "", "&Spara"},
        {"QGnomeTheme", "&Close", "", "&Stäng"},
        // The file dialog, from Qt's catalogue and from ours.
        {"QFileDialog", "&Open", "", "&Öppna"},
        {"QFileDialog", "&Save", "", "&Spara"},
        {"QFileDialog", "File &name:", "", "Fil&namn:"},
        {"QFileDialog", "Files of type:", "", "Filtyp:"},
        {"QFileDialog", "Look in:", "", "Sök i:"},
        {"QFileDialog", "Back", "", "Tillbaka"},
        {"QFileDialog", "Forward", "", "Framåt"},
        {"QFileDialog", "Parent Directory", "", "Upp en nivå"},
        {"QFileDialog", "Create New Folder", "", "Skapa ny mapp"},
        {"QFileDialog", "List View", "", "Listvy"},
        {"QFileDialog", "Detail View", "", "Detaljvy"},
        {"QFileDialog", "&New Folder", "", "&Ny mapp"},
        {"QFileDialog", "Show ", "", "Visa "},
        {"QFileSystemModel", "Name", "", "Namn"},
        {"QFileSystemModel", "Size", "", "Storlek"},
        {"QFileSystemModel", "Type", "All other platforms", "Typ"},
        {"QFileSystemModel", "Date Modified", "", "Ändringsdatum"},
        {"QFileSystemModel", "Computer", "", "Dator"},
        {"QAbstractFileIconProvider", "Folder", "All other platforms", "Mapp"},
        // Text field menus: line edits (the cell editor), text boxes, spin boxes.
        {"QLineEdit", "&Undo", "", "&Ångra"},
        {"QLineEdit", "&Redo", "", "&Gör om"},
        {"QLineEdit", "Cu&t", "", "Klipp &ut"},
        {"QLineEdit", "&Copy", "", "&Kopiera"},
        {"QLineEdit", "&Paste", "", "Klistra &in"},
        {"QLineEdit", "Delete", "", "Ta bort"},
        {"QLineEdit", "Select All", "", "Markera allt"},
        {"QWidgetTextControl", "&Copy", "", "&Kopiera"},
        {"QWidgetTextControl", "Select All", "", "Markera allt"},
        {"QAbstractSpinBox", "&Select All", "", "&Markera allt"},
        {"QAbstractSpinBox", "&Step up", "", "&Stega uppåt"},
        // Other dialogs.
        {"QColorDialog", "Select Color", "", "Välj färg"},
        {"QColorDialog", "&Pick Screen Color", "", "&Välj färg från skärmen"},
        {"QInputDialog", "Enter a value:", "", "Ange ett värde:"},
        {"QProgressDialog", "Cancel", "", "Avbryt"},
        {"QMessageBox", "Show Details...", "", "Visa detaljer..."},
        {"QMessageBox", "Hide Details...", "", "Dölj detaljer..."},
    };
    for (const auto &text : texts) {
        QTest::addRow("%s %s", text.context, text.source)
            << QString::fromLatin1(text.context) << QString::fromUtf8(text.source)
            << QString::fromUtf8(text.disambiguation) << QString::fromUtf8(text.swedish);
    }
}

void TestQtSwedish::translatedTexts()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, disambiguation);
    QFETCH(QString, swedish);
    loadAsTheProgramDoes();
    const QByteArray comment = disambiguation.toUtf8();
    QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(),
                                         source.toUtf8().constData(),
                                         comment.isEmpty() ? nullptr : comment.constData()),
             swedish);
}

void TestQtSwedish::standardButtons_data()
{
    QTest::addColumn<QDialogButtonBox::StandardButton>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("Ok") << QDialogButtonBox::Ok << "OK";
    QTest::newRow("Cancel") << QDialogButtonBox::Cancel << "Avbryt";
    QTest::newRow("Yes") << QDialogButtonBox::Yes << "&Ja";
    QTest::newRow("No") << QDialogButtonBox::No << "&Nej";
    QTest::newRow("Close") << QDialogButtonBox::Close << "Stäng";
    QTest::newRow("Save") << QDialogButtonBox::Save << "Spara";
    QTest::newRow("Open") << QDialogButtonBox::Open << "Öppna";
    QTest::newRow("Apply") << QDialogButtonBox::Apply << "Verkställ";
    QTest::newRow("RestoreDefaults")
        << QDialogButtonBox::RestoreDefaults << "Återställ standardvärden";
}

void TestQtSwedish::standardButtons()
{
    QFETCH(QDialogButtonBox::StandardButton, button);
    QFETCH(QString, text);
    loadAsTheProgramDoes();
    QDialogButtonBox box(button);
    QCOMPARE(box.button(button)->text(), text);
}

void TestQtSwedish::messageBoxButtons()
{
    loadAsTheProgramDoes();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Fråga"), QStringLiteral("Text"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Ja"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Nej"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Avbryt"));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString("OK"));
}

void TestQtSwedish::fileDialog()
{
    loadAsTheProgramDoes();
    QFileDialog dialog(nullptr, QStringLiteral("Öppna databas"), QDir::tempPath(),
                       QStringLiteral("Databas (*.tdb)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto label = [&](const char *name) {
        auto *found = dialog.findChild<QLabel *>(QLatin1String(name));
        return found ? found->text() : QStringLiteral("(saknas: %1)").arg(QLatin1String(name));
    };
    QCOMPARE(label("lookInLabel"), QString("Sök i:"));
    QCOMPARE(label("fileNameLabel"), QString("Fil&namn:"));
    QCOMPARE(label("fileTypeLabel"), QString("Filtyp:"));

    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("Avbryt"));
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QString("&Öppna"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QString("&Spara"));

    const auto toolTip = [&](const char *name) {
        auto *found = dialog.findChild<QToolButton *>(QLatin1String(name));
        return found ? found->toolTip() : QStringLiteral("(saknas: %1)").arg(QLatin1String(name));
    };
    QCOMPARE(toolTip("backButton"), QString("Tillbaka"));
    QCOMPARE(toolTip("toParentButton"), QString("Upp en nivå"));
    QCOMPARE(toolTip("newFolderButton"), QString("Skapa ny mapp"));
    QCOMPARE(toolTip("detailModeButton"), QString("Detaljvy"));

    // The details view's column headers and the menu that hides them.
    auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    QVERIFY(details);
    QStringList headers;
    for (int column = 0; column < details->model()->columnCount(); ++column)
        headers << details->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Namn", "Storlek", "Typ", "Ändringsdatum"}));
    QStringList headerMenu;
    for (const QAction *action : details->header()->actions())
        headerMenu << action->text();
    QCOMPARE(headerMenu, (QStringList{"Visa Storlek", "Visa Typ", "Visa Ändringsdatum"}));
}

void TestQtSwedish::textFieldMenus()
{
    loadAsTheProgramDoes();
    QLineEdit cellEditor(QStringLiteral("Dvärgbrytare"));
    const std::unique_ptr<QMenu> lineMenu(cellEditor.createStandardContextMenu());
    QCOMPARE(itemTexts(*lineMenu), (QStringList{"&Ångra", "&Gör om", "Klipp &ut", "&Kopiera",
                                                "Klistra &in", "Ta bort", "Markera allt"}));

    QPlainTextEdit text(QStringLiteral("Ravelund"));
    const std::unique_ptr<QMenu> textMenu(text.createStandardContextMenu());
    QCOMPARE(itemTexts(*textMenu), (QStringList{"&Ångra", "&Gör om", "Klipp &ut", "&Kopiera",
                                                "Klistra &in", "Ta bort", "Markera allt"}));
}

void TestQtSwedish::colourAndInputDialogs()
{
    loadAsTheProgramDoes();
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QCOMPARE(colours.windowTitle(), QString("Välj färg"));
    QStringList colourButtons;
    for (const QPushButton *button : colours.findChildren<QPushButton *>())
        colourButtons << button->text();
    QVERIFY2(colourButtons.contains("&Välj färg från skärmen"),
             qPrintable(colourButtons.join('|')));
    QVERIFY2(colourButtons.contains("Avbryt"), qPrintable(colourButtons.join('|')));
    QVERIFY2(!colourButtons.contains("Cancel"), qPrintable(colourButtons.join('|')));

    QInputDialog input;
    QCOMPARE(input.okButtonText(), QString("OK"));
    QCOMPARE(input.cancelButtonText(), QString("Avbryt"));
}

QTEST_MAIN(TestQtSwedish)
#include "tst_qtswedish.moc"
