#include "app/MainWindow.h"
#include "browse/GridRules.h"
#include "dialogs/ListUpdateDialog.h"
#include "dialogs/SheetExportDialog.h"
#include "sheet/ChangePreviewModel.h"
#include "sheet/CsvReader.h"
#include "sheet/XlsxReader.h"
#include "sheet/XlsxWriter.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "ui/ChangePreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

// The spreadsheet commands in the window. "Uppdatera från lista...": a supplier's list read,
// previewed and taken into the shown group as one undo step; bad lists are refused before
// anything changes. "Exportera till kalkylblad...": what the options dialog chose reaches the file.
class TestSheetCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void previewTakeUndoRedo();
    void typedFieldNameMapsTheColumn();
    void anotherSheetOfAWorkbook();
    void badListsChangeNothing_data();
    void badListsChangeNothing();
    void overviewIsRefused();
    void exportFollowsTheChoices_data();
    void exportFollowsTheChoices();

private:
    static QString line(const QString &block, const QString &type, const QString &articleNumber,
                        const QString &designation, const QString &manufacturer,
                        const QString &price);
    QString writeList(const QString &name, const QByteArray &bytes) const;
    ListUpdateDialog *runCommand(const QString &listPath);
    QString cell(int row, const QString &field) const;

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<MainWindow> m_window;
};

QString TestSheetCommands::line(const QString &block, const QString &type,
                                const QString &articleNumber, const QString &designation,
                                const QString &manufacturer, const QString &price)
{
    return TestFiles::record({{block, 8},
                              {type, 3},
                              {designation, 20},
                              {articleNumber, 10},
                              {manufacturer, 12},
                              {price, 8}});
}

void TestSheetCommands::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestSheetCommands::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString tds = m_dir->filePath(QStringLiteral("lista.tds"));
    TestFiles::write(tds,
                     TestFiles::crlf({line("ABCDI010", "-", "", "Kontaktorer", "", ""),
                                      line("ABCDI010", "1", "A1", "Kontaktor", "Nordel", "10,00"),
                                      line("ABCDI010", "2", "A2", "Relä", "Nordel", "5,00"),
                                      line("ABCDI010", "3", "A3", "Säkring", "Åkerby", "2,50"),
                                      line("ABCDI020", "-", "", "Reläer; små", "", ""),
                                      line("ABCDI020", "1", "R1", "Relä \"mini\"", "", "1,5")}));
    TestFiles::write(
        m_dir->filePath(QStringLiteral("lista.tdx")),
        TestFiles::crlf({QStringLiteral("BL_NAME,Blocknamn,8"), QStringLiteral("TYP,Typ,3"),
                         QStringLiteral("BENÄMNING,Benämning,20"),
                         QStringLiteral("ARTNR,Artikelnummer,10"),
                         QStringLiteral("FABRIKAT,Fabrikat,12"), QStringLiteral("PRIS,Pris,8")}));
    const QString tdb = CatalogueFixture::importTds(tds);
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_window = std::make_unique<MainWindow>(*m_prompter);
    m_window->show();
    QVERIFY(m_window->OpenMDB(tdb));
    QVERIFY(m_window->session().show(ArticleSelection::fromTreeKey(QStringLiteral("!ABCDI010"))));
}

void TestSheetCommands::cleanup()
{
    m_window.reset();
}

QString TestSheetCommands::writeList(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_dir->filePath(name);
    TestFiles::write(path, bytes);
    return path;
}

ListUpdateDialog *TestSheetCommands::runCommand(const QString &listPath)
{
    m_prompter->openFiles.enqueue({listPath});
    m_window->dispatch(CommandId::UpdateFromList);
    return m_window->findChild<ListUpdateDialog *>(QStringLiteral("frmListUpdate"));
}

QString TestSheetCommands::cell(int row, const QString &field) const
{
    const ArticleGrid &grid = m_window->grid();
    return grid.text(row, grid.GetColumn(field));
}

void TestSheetCommands::previewTakeUndoRedo()
{
    const QString list = writeList(QStringLiteral("pris.csv"),
                                   "Art.nr;Fabrikat;Pris\r\nA1;Nordel;12,00\r\nA2;Nordel;5,00\r\n"
                                   "X9;Nordel;1,00\r\n");
    QPointer<ListUpdateDialog> dialog = runCommand(list);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->mapping(), QStringList({"ARTNR", "FABRIKAT", "PRIS"}));
    QCOMPARE(dialog->keyFields(), QStringList({"FABRIKAT", "ARTNR"}));
    QVERIFY(!dialog->sheetChoice()->isVisible());

    const ChangePreviewModel *model = dialog->preview()->model();
    QCOMPARE(model->count(ProposalKind::Changed), 1);
    QCOMPARE(model->count(ProposalKind::NoArticle), 1);
    QCOMPARE(model->count(ProposalKind::NotInList), 1);
    QCOMPARE(model->chosenCount(), 1);
    QCOMPARE(dialog->preview()->kindFilter(ProposalKind::Changed)->text(),
             QStringLiteral("Ändrad (1)"));

    const int rows = m_window->grid().rows();
    QTest::mouseClick(dialog->preview()->takeButton(), Qt::LeftButton);
    QTRY_VERIFY(!dialog);
    QCOMPARE(cell(2, "PRIS"), QStringLiteral("12,00"));
    QCOMPARE(cell(3, "PRIS"), QStringLiteral("5,00"));
    QCOMPARE(m_window->grid().rows(), rows); // nothing added or removed unless ticked
    QVERIFY(m_window->session().isEdited());

    m_window->dispatch(CommandId::Undo);
    QCOMPARE(cell(2, "PRIS"), QStringLiteral("10,00"));
    QVERIFY(!m_window->gridController().history().stack().canUndo());
    m_window->dispatch(CommandId::Redo);
    QCOMPARE(cell(2, "PRIS"), QStringLiteral("12,00"));
    QVERIFY(m_window->session().isEdited());
}

void TestSheetCommands::typedFieldNameMapsTheColumn()
{
    // A heading the table does not know is mapped by typing the field's name or description.
    QPointer<ListUpdateDialog> dialog =
        runCommand(writeList(QStringLiteral("lev.csv"), "Artnr;Netto\r\nA3;3,10\r\n"));
    QVERIFY(dialog);
    QCOMPARE(dialog->mapping(), QStringList({"ARTNR", ""}));
    QCOMPARE(dialog->keyFields(), QStringList({"ARTNR"}));
    QCOMPARE(dialog->preview()->model()->count(ProposalKind::Changed), 0);

    QComboBox *price = dialog->fieldChoice(1);
    price->lineEdit()->setText(QStringLiteral("pris"));
    emit price->lineEdit()->editingFinished();
    QCOMPARE(dialog->mapping(), QStringList({"ARTNR", "PRIS"}));
    QCOMPARE(dialog->preview()->model()->count(ProposalKind::Changed), 1);

    // Keyed by maker as well, the list has no column for it.
    dialog->keyChoice()->setCurrentIndex(0);
    emit dialog->keyChoice()->activated(0);
    QVERIFY(dialog->problem().contains(QStringLiteral("FABRIKAT")));
    QVERIFY(!dialog->preview()->takeButton()->isEnabled());
    dialog->reject();
    QVERIFY(!m_window->session().isEdited());
}

void TestSheetCommands::anotherSheetOfAWorkbook()
{
    const QString path = m_dir->filePath(QStringLiteral("lev.xlsx"));
    {
        XlsxWriter writer(path);
        const QList<SheetColumn> columns{{QStringLiteral("Artnr"), 10},
                                         {QStringLiteral("Pris"), 8}};
        writer.beginSheet(QStringLiteral("Gammal"), columns);
        writer.addRow({QStringLiteral("A1"), QStringLiteral("11,00")});
        writer.beginSheet(QStringLiteral("Ny"), columns);
        writer.addRow({QStringLiteral("A2"), QStringLiteral("6,00")});
        writer.addRow({QStringLiteral("A3"), QStringLiteral("3,00")});
        writer.finish();
    }
    QPointer<ListUpdateDialog> dialog = runCommand(path);
    QVERIFY(dialog);
    QComboBox *sheets = dialog->sheetChoice();
    QVERIFY(sheets->isVisibleTo(dialog));
    QCOMPARE(sheets->count(), 2);
    const ChangePreviewModel *model = dialog->preview()->model();
    QCOMPARE(model->count(ProposalKind::Changed), 1);
    QCOMPARE(model->proposals().first().label, QStringLiteral("A1"));

    sheets->setCurrentIndex(1);
    emit sheets->activated(1);
    QCOMPARE(model->count(ProposalKind::Changed), 2);
    QCOMPARE(model->proposals().first().label, QStringLiteral("A2"));
    dialog->reject();
}

void TestSheetCommands::badListsChangeNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("said");

    QTest::newRow("not a spreadsheet")
        << "bild.csv" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 20)
        << "inte ett kalkylblad";
    QTest::newRow("damaged workbook")
        << "trasig.xlsx" << QByteArray("PK\x03\x04\x14\0\0\0\x08\0garbage", 17) << "skadad";
    QTest::newRow("protected workbook")
        << "skyddad.xlsx"
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')
        << "lösenordsskyddad";
    QTest::newRow("ragged csv") << "ojamn.csv" << QByteArray("Artnr;Pris\r\nA1;1;2\r\n") << "Rad 2";
    QTest::newRow("no key column")
        << "namn.csv" << QByteArray("Namn;Pris\r\nKontaktor;1\r\n") << "nyckel";
}

void TestSheetCommands::badListsChangeNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, said);
    QVERIFY(!runCommand(writeList(name, bytes)));
    QVERIFY2(m_prompter->lastText().contains(said), qPrintable(m_prompter->lastText()));
    QCOMPARE(cell(2, "PRIS"), QStringLiteral("10,00"));
    QVERIFY(!m_window->session().isEdited());
}

void TestSheetCommands::overviewIsRefused()
{
    QVERIFY(m_window->session().show(ArticleSelection::root()));
    QVERIFY(!runCommand(writeList(QStringLiteral("pris.csv"), "Artnr;Pris\r\nA1;12,00\r\n")));
    QVERIFY(m_prompter->fileRequests.isEmpty());
    QCOMPARE(m_window->statusBar()->currentMessage(), GridRules::overviewHint());
}

void TestSheetCommands::exportFollowsTheChoices_data()
{
    QTest::addColumn<QString>("view"); // a tree key; empty: the overview
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("selectedRows");
    QTest::addColumn<bool>("sheetPerGroup");
    QTest::addColumn<int>("separator"); // index in the separator choice
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QStringList>("firstColumn"); // of the data rows, all sheets in turn

    QTest::newRow("group to csv with commas")
        << "!ABCDI010"
        << "grupp.csv" << false << false << 1 << QStringList()
        << QStringList({"ABCDI010", "ABCDI010", "ABCDI010", "ABCDI010"});
    QTest::newRow("selected rows with tabs") << "!ABCDI010"
                                             << "rader.csv" << true << false << 2 << QStringList()
                                             << QStringList({"ABCDI010", "ABCDI010"});
    QTest::newRow("overview, a sheet per group")
        << ""
        << "alla.xlsx" << false << true << 0 << QStringList({"Kontaktorer", "Reläer; små"})
        << QStringList({"ABCDI010", "ABCDI010", "ABCDI010", "ABCDI010", "ABCDI020", "ABCDI020"});
    QTest::newRow("overview, one sheet")
        << ""
        << "alla.csv" << false << false << 0 << QStringList()
        << QStringList({"Kontaktorer", "Kontaktorer", "Kontaktorer", "Kontaktorer", "Reläer; små",
                        "Reläer; små"});
}

void TestSheetCommands::exportFollowsTheChoices()
{
    QFETCH(QString, view);
    QFETCH(QString, file);
    QFETCH(bool, selectedRows);
    QFETCH(bool, sheetPerGroup);
    QFETCH(int, separator);
    QFETCH(QStringList, sheets);
    QFETCH(QStringList, firstColumn);

    QVERIFY(m_window->session().show(view.isEmpty() ? ArticleSelection::root()
                                                    : ArticleSelection::fromTreeKey(view)));
    if (selectedRows)
        m_window->grid().setSelection({2, 1, 3, 2});
    const QString path = m_dir->filePath(file);
    m_prompter->saveFiles.enqueue(path);
    m_window->dispatch(CommandId::ExportSheet);
    QPointer<SheetExportDialog> dialog =
        m_window->findChild<SheetExportDialog *>(QStringLiteral("frmSheetExport"));
    QVERIFY(dialog);
    QCOMPARE(dialog->selectedRows()->isChecked(), selectedRows);
    QCOMPARE(dialog->separatorChoice()->isVisibleTo(dialog), file.endsWith(".csv"));
    dialog->separatorChoice()->setCurrentIndex(separator);
    if (sheetPerGroup) {
        QVERIFY(dialog->sheetPerGroup()->isEnabled());
        dialog->sheetPerGroup()->setChecked(true);
    }
    dialog->accept();
    QTRY_VERIFY(!dialog);
    QTRY_VERIFY(QFile::exists(path));
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join('\n')));

    QStringList read;
    if (file.endsWith(".xlsx")) {
        const XlsxReader reader(path);
        QCOMPARE(reader.sheetNames(), sheets);
        for (int s = 0; s < reader.sheetNames().size(); ++s) {
            for (const QStringList &row : reader.read(s).rows)
                read << row.first();
        }
    } else {
        const QByteArray bytes = TestFiles::read(path);
        const QString text = CsvReader::decode(bytes);
        QCOMPARE(CsvReader::findSeparator(text), QList<QChar>({';', ',', '\t'}).at(separator));
        for (const QStringList &row : CsvReader::read(bytes).rows)
            read << row.first();
    }
    QCOMPARE(read, firstColumn);
}

QTEST_MAIN(TestSheetCommands)
#include "tst_sheetcommands.moc"
