#include "browse/ArticleGrid.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "sheet/CsvReader.h"
#include "sheet/CsvWriter.h"
#include "sheet/HeadingMapping.h"
#include "sheet/ListUpdate.h"
#include "sheet/SheetExport.h"
#include "sheet/XlsxReader.h"
#include "sheet/XlsxWriter.h"
#include "support/GridFixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>

using Rows = QList<QStringList>;

namespace {

Rows allRows(const SheetTable &table)
{
    Rows rows{table.headings};
    for (const QStringList &row : table.rows)
        rows << row;
    return rows;
}

const QStringList kHeader{QStringLiteral("RAD"),   QStringLiteral("BL_NAME"),
                          QStringLiteral("TYP"),   QStringLiteral("FABRIKAT"),
                          QStringLiteral("ARTNR"), QStringLiteral("PRIS")};

ArticleGrid smallCatalogue()
{
    return GridFixture::make(kHeader, {QStringLiteral("1|K|1|ABB|A-1|10,00"),
                                       QStringLiteral("2|K|2|ABB|A-2|20,00"),
                                       QStringLiteral("3|K|3|Hager|H-1|5,00")});
}

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT
private slots:
    void csvReads_data();
    void csvReads();
    void csvRefuses_data();
    void csvRefuses();
    void xlsxReads();
    void xlsxRefusesWhatIsNoWorkbook_data();
    void xlsxRefusesWhatIsNoWorkbook();
    void numberFormats_data();
    void numberFormats();
    void headingsMap_data();
    void headingsMap();
    void sheetNamesFitAndDiffer();
    void updateProposesAndAppliesAsOneStep();
    void updateWithoutKeyColumnIsRefused();
    void exportedXlsxReadsBackAsTheGrid();
    void exportedCsvReadsBackAsTheGrid_data();
    void exportedCsvReadsBackAsTheGrid();
};

void TestSheet::csvReads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Rows>("rows");
    const Rows ab{{"a", "b"}, {"1", "2"}};
    QTest::newRow("semicolon") << QByteArray("a;b\r\n1;2\r\n") << ab;
    QTest::newRow("comma") << QByteArray("a,b\n1,2\n") << ab;
    QTest::newRow("tab") << QByteArray("a\tb\n1\t2") << ab;
    QTest::newRow("bom utf-8") << QByteArray("\xEF\xBB\xBF"
                                             "å;b\n1;2\n")
                               << Rows{{"å", "b"}, {"1", "2"}};
    QTest::newRow("utf-8 without bom")
        << QByteArray("\xC3\xA4;b\n1;2\n") << Rows{{"ä", "b"}, {"1", "2"}};
    QTest::newRow("windows-1252") << QByteArray("\xE4;b\n\x80;2\n") << Rows{{"ä", "b"}, {"€", "2"}};
    QTest::newRow("quotes and separators") << QByteArray("a;b\n\"x;y\";\"say \"\"hi\"\"\"\n")
                                           << Rows{{"a", "b"}, {"x;y", "say \"hi\""}};
    QTest::newRow("line break in quotes")
        << QByteArray("a;b\r\n\"one\r\ntwo\";2\r\n") << Rows{{"a", "b"}, {"one\r\ntwo", "2"}};
    QTest::newRow("blank lines skipped") << QByteArray("a;b\n\n1;2\n\n") << ab;
    QTest::newRow("comma inside quotes does not pick comma")
        << QByteArray("\"a,x\";b\n1;2\n") << Rows{{"a,x", "b"}, {"1", "2"}};
}

void TestSheet::csvReads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Rows, rows);
    QCOMPARE(allRows(CsvReader::read(bytes)), rows);
}

void TestSheet::csvRefuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("ragged") << QByteArray("a;b\n1;2\n\"x\ny\";2;3\n")
                            << QStringLiteral("Rad 3 har 3 värden");
    QTest::newRow("short") << QByteArray("a;b\n1\n") << QStringLiteral("Rad 2 har 1 värden");
    QTest::newRow("open quote") << QByteArray("a;b\n\"1;2\n") << QStringLiteral("rad 2");
}

void TestSheet::csvRefuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        CsvReader::read(bytes);
        QFAIL("read");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains(message), qPrintable(e.description()));
    }
}

void TestSheet::xlsxReads()
{
    // Shared strings, a number with two decimals, a plain number, empty cells and a merged
    // heading, as a spreadsheet program writes them.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lista.xlsx"));
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Prislista");
    workbook_add_worksheet(book, "Annat");
    lxw_format *twoDecimals = workbook_add_format(book);
    format_set_num_format(twoDecimals, "0.00");
    worksheet_merge_range(sheet, 0, 0, 0, 1, "Art.nr", nullptr);
    worksheet_write_string(sheet, 0, 2, "Pris", nullptr);
    worksheet_write_string(sheet, 1, 0, "A-1", nullptr);
    worksheet_write_number(sheet, 1, 2, 84.5, twoDecimals);
    worksheet_write_number(sheet, 2, 0, 123456789012.0, nullptr);
    worksheet_write_string(sheet, 2, 1, "x", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    const XlsxReader reader(path);
    QCOMPARE(reader.sheetNames(), QStringList({"Prislista", "Annat"}));
    QCOMPARE(allRows(reader.read(0, u',')),
             Rows({{"Art.nr", "Art.nr", "Pris"}, {"A-1", "", "84,50"}, {"123456789012", "x", ""}}));
    QCOMPARE(reader.read(0, u'.').rows.front().at(2), QStringLiteral("84.50"));
}

void TestSheet::xlsxRefusesWhatIsNoWorkbook_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("text") << QByteArray("hello") << QStringLiteral("inte ett kalkylblad");
    QTest::newRow("protected") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest")
                               << QStringLiteral("lösenordsskyddad");
    QTest::newRow("damaged") << QByteArray("PK\x03\x04 broken") << QStringLiteral("skadad");
}

void TestSheet::xlsxRefusesWhatIsNoWorkbook()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lista.xlsx"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    try {
        XlsxReader reader(path);
        QFAIL("opened");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains(message), qPrintable(e.description()));
    }
}

void TestSheet::numberFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("general fraction") << 0.12 << "General"
                                      << "0,12";
    QTest::newRow("general whole") << 1234567.0 << "General"
                                   << "1234567";
    QTest::newRow("two decimals") << 84.5 << "0.00"
                                  << "84,50";
    QTest::newRow("grouped") << 1234.5 << "#,##0.00 \"kr\""
                             << "1234,50";
    QTest::newRow("percent") << 0.25 << "0%"
                             << "25%";
    QTest::newRow("date") << 45292.0 << "yyyy-mm-dd"
                          << "2024-01-01";
    QTest::newRow("text format") << 7.0 << "@"
                                 << "7";
}

void TestSheet::numberFormats()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(XlsxReader::formatNumber(value, format, u','), shown);
}

void TestSheet::headingsMap_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("field");
    QTest::newRow("field name") << "artnr"
                                << "ARTNR";
    QTest::newRow("abbreviation") << "Art.nr"
                                  << "ARTNR";
    QTest::newRow("swedish") << "Artikelnummer"
                             << "ARTNR";
    QTest::newRow("english") << "Item No."
                             << "ARTNR";
    QTest::newRow("manufacturer") << "Tillverkare"
                                  << "FABRIKAT";
    QTest::newRow("description of a field") << "Listpris"
                                            << "PRIS";
    QTest::newRow("accents and spaces") << " Bénämning "
                                        << "BENÄMNING";
    QTest::newRow("protected never") << "Typ"
                                     << "";
    QTest::newRow("unknown") << "Lagersaldo"
                             << "";
}

void TestSheet::headingsMap()
{
    QFETCH(QString, heading);
    QFETCH(QString, field);
    const FieldList fields{{"RAD", {}, 6, 0},          {"BL_NAME", {}, 10, 0},
                           {"TYP", "Typ", 4, 0},       {"BENÄMNING", {}, 40, 0},
                           {"FABRIKAT", {}, 20, 0},    {"ARTNR", {}, 20, 0},
                           {"PRIS", "Listpris", 10, 0}};
    QCOMPARE(HeadingMapping::fieldFor(heading, fields), field);
}

void TestSheet::sheetNamesFitAndDiffer()
{
    const QString longName(40, u'x');
    const QString first = XlsxWriter::sheetName(longName, {});
    QCOMPARE(first.size(), 31);
    const QString second = XlsxWriter::sheetName(longName, {first.toCaseFolded()});
    QCOMPARE(second.size(), 31);
    QVERIFY(second != first);
    QCOMPARE(XlsxWriter::sheetName(QStringLiteral("Kabel/Ledning?"), {}),
             QStringLiteral("Kabel_Ledning_"));
}

void TestSheet::updateProposesAndAppliesAsOneStep()
{
    ArticleGrid grid = smallCatalogue();
    SheetTable list;
    list.headings = {"Fabrikat", "Art.nr", "Pris"};
    list.rows = {{"abb", "A-1", "12,00"},
                 {"ABB", "A-2", "20,00"},
                 {"ABB", "A-9", "1,00"},
                 {"Hager", "H-1", QString(41, u'9')}};
    list.lines = {2, 3, 4, 5};
    FieldList fields;
    for (const QString &name : kHeader)
        fields << FieldDesc{name, {}, 10, 0};
    const QStringList mapping = HeadingMapping::map(list.headings, fields);
    QCOMPARE(HeadingMapping::defaultKey(mapping), QStringList({"FABRIKAT", "ARTNR"}));
    Proposals proposals =
        ListUpdate::propose(grid, list, mapping, HeadingMapping::defaultKey(mapping));
    QCOMPARE(proposals.size(), 3);
    QCOMPARE(proposals.at(0).kind, ProposalKind::Changed);
    QCOMPARE(proposals.at(0).fields.at(0).before, QStringLiteral("10,00"));
    QCOMPARE(proposals.at(0).fields.at(0).after, QStringLiteral("12,00"));
    QCOMPARE(proposals.at(1).kind, ProposalKind::NoArticle);
    QVERIFY(!proposals.at(1).chosen);
    QCOMPARE(proposals.at(2).kind, ProposalKind::TooLong);
    QVERIFY(!proposals.at(2).fields.at(0).canTake());

    grid.setRecording(true);
    grid.takeEdit();
    Database unused;
    const ListUpdate::Applied applied = ListUpdate::apply(grid, proposals, unused);
    QCOMPARE(applied.cells, 1);
    const QStringList after = GridFixture::dump(grid);
    QCOMPARE(after.at(0), QStringLiteral("1|K|1|ABB|A-1|12,00"));
    QCOMPARE(after.at(2), QStringLiteral("3|K|3|Hager|H-1|5,00"));
    ArticleGrid::Edit edit = grid.takeEdit();
    grid.undo(edit);
    QCOMPARE(GridFixture::dump(grid), GridFixture::dump(smallCatalogue()));
    QCOMPARE(grid.cellChanged(1, 5), smallCatalogue().cellChanged(1, 5));
    grid.redo(edit);
    QCOMPARE(GridFixture::dump(grid), after);
    QVERIFY(grid.cellChanged(1, 5));
}

void TestSheet::updateWithoutKeyColumnIsRefused()
{
    const ArticleGrid grid = smallCatalogue();
    SheetTable list;
    list.headings = {"Benämning", "Pris"};
    list.rows = {{"x", "1"}};
    const QStringList mapping{QString(), QStringLiteral("PRIS")};
    QVERIFY(HeadingMapping::defaultKey(mapping).isEmpty());
    QVERIFY_THROWS_EXCEPTION(AppError, ListUpdate::propose(grid, list, mapping, {}));
    QVERIFY_THROWS_EXCEPTION(AppError, ListUpdate::propose(grid, list, mapping, {"ARTNR"}));
}

void TestSheet::exportedXlsxReadsBackAsTheGrid()
{
    const ArticleGrid grid = GridFixture::make(
        kHeader, {QStringLiteral("1|K|1|ABB|000123|0,12"), QStringLiteral("2|K|2||1-2|")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vy.xlsx"));
    NullProgress progress;
    {
        XlsxWriter writer(path);
        SheetExport::writeGrid(grid, {}, QStringLiteral("K"), writer, progress);
    }
    const SheetTable table = XlsxReader(path).read();
    QCOMPARE(table.headings, kHeader.mid(1));
    QCOMPARE(allRows(table).mid(1),
             Rows({{"K", "1", "ABB", "000123", "0,12"}, {"K", "2", "", "1-2", ""}}));
}

void TestSheet::exportedCsvReadsBackAsTheGrid_data()
{
    QTest::addColumn<int>("separator");
    QTest::newRow("semicolon") << int(CsvSeparator::Semicolon);
    QTest::newRow("comma") << int(CsvSeparator::Comma);
    QTest::newRow("tab") << int(CsvSeparator::Tab);
}

void TestSheet::exportedCsvReadsBackAsTheGrid()
{
    QFETCH(int, separator);
    const ArticleGrid grid =
        GridFixture::make(kHeader, {QStringLiteral("1|K|1|A;B|\"x\"|rad ett\r\nrad två"),
                                    QStringLiteral("2|K|2|a,b|\tc|")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vy.csv"));
    NullProgress progress;
    {
        CsvWriter writer(path, CsvSeparator(separator));
        SheetExport::writeGrid(grid, {}, QStringLiteral("K"), writer, progress);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const SheetTable table = CsvReader::read(bytes);
    QCOMPARE(allRows(table).mid(1), Rows({{"K", "1", "A;B", "\"x\"", "rad ett\r\nrad två"},
                                          {"K", "2", "a,b", "\tc", ""}}));
}

QTEST_GUILESS_MAIN(TestSheet)
#include "tst_sheet.moc"
