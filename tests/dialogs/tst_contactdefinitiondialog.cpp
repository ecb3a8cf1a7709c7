#include "dialogs/ContactDefinitionDialog.h"
#include "edit/ContactPresets.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

TerminalDefinitions definitions()
{
    return TerminalDefinitions::parse(
        TestFiles::crlf({"M", " 1 2", " 3 4", "O", " 13 14", " 23 24", "C", " 11 12"}));
}

template <class T> T *control(const QWidget &dialog, const QString &name)
{
    T *found = dialog.findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// The dialog with a prompter that records what it shows.
struct Fixture
{
    explicit Fixture(const QString &text = {}) : dialog(prompter, text, definitions())
    {
        dialog.show();
    }

    QToolButton *type(int index) const
    {
        return control<QToolButton>(dialog, QStringLiteral("imgContactType%1").arg(index));
    }
    QLabel *typeLabel(int index) const
    {
        return control<QLabel>(dialog, QStringLiteral("lblContact%1").arg(index));
    }
    QToolButton *slot(int index) const
    {
        return control<QToolButton>(dialog, QStringLiteral("imgContact%1").arg(index));
    }
    QPushButton *button(const char *name) const
    {
        return control<QPushButton>(dialog, QLatin1String(name));
    }
    QComboBox *terminals() const { return control<QComboBox>(dialog, "cboTerminals"); }
    QListWidget *presets() const { return control<QListWidget>(dialog, "lstPredef"); }

    // The label of each slot's type up to the last shown slot; "" for a free slot.
    QStringList shownSlots() const
    {
        QStringList shown;
        for (int k = 0; k < ContactDefinition::kSlotCount; ++k)
            shown << (slot(k)->isHidden() ? QString() : slot(k)->accessibleDescription());
        while (!shown.isEmpty() && shown.last().isEmpty())
            shown.removeLast();
        return shown;
    }
    QStringList terminalTexts(int slotIndex) const
    {
        QStringList texts;
        for (int b = 0; b < ContactDefinition::kTerminalsPerSlot; ++b) {
            texts << control<QLabel>(dialog,
                                     QStringLiteral("lblTerm%1")
                                         .arg(slotIndex * ContactDefinition::kTerminalsPerSlot + b))
                         ->text();
        }
        return texts;
    }

    ScriptedPrompter prompter;
    ContactDefinitionDialog dialog;
};

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

class TestContactDefinitionDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void typesArePictureButtonsNamedByTheirLabels();
    void openingShowsTheText_data();
    void openingShowsTheText();
    void addingAndRemovingWithTheMouse();
    void chosenMarkingIsUsed();
    void refusedWhenFull();
    void labelClickOnlyHighlights();
    void cancelGivesNothing();
    void textLongerThanTheFieldIsRefused();
    void presets();

private:
    QTemporaryDir m_settings;
};

void TestContactDefinitionDialog::initTestCase()
{
    QVERIFY(m_settings.isValid());
    TestFiles::isolateSettings(m_settings.path());
}

void TestContactDefinitionDialog::init()
{
    QFile::remove(ContactPresets::defaultFile());
}

void TestContactDefinitionDialog::typesArePictureButtonsNamedByTheirLabels()
{
    Fixture f;
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Kontaktdefinition"));
    for (int i = 0; i < ContactDefinition::kTypeCount; ++i) {
        const QString label = QString::fromUtf8(ContactDefinition::types()[size_t(i)].label);
        QCOMPARE(f.typeLabel(i)->text(), label);
        QCOMPARE(f.type(i)->accessibleName(), label);
        QCOMPARE(f.typeLabel(i)->buddy(), f.type(i));
        // A wrong resource name renders nothing.
        QVERIFY2(hasOpaquePixels(f.type(i)->icon().pixmap(QSize(32, 48), 1.0).toImage()),
                 qPrintable(label));
    }
    QCOMPARE(f.type(6)->accessibleDescription(), QStringLiteral("Tidkontakter, tillslag"));
    QCOMPARE(f.type(9)->accessibleDescription(), QStringLiteral("Tidkontakter, frånslag"));
    QCOMPARE(f.terminals()->accessibleName(), QString()); // named through its label
    QCOMPARE(control<QLabel>(f.dialog, "lblTerminals")->buddy(), f.terminals());
    QCOMPARE(f.presets()->accessibleName(), QStringLiteral("Fördefinierade"));
}

void TestContactDefinitionDialog::openingShowsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("lastTerminals");

    QTest::newRow("empty") << "" << QStringList{} << QStringList{"", "", ""};
    QTest::newRow("main and two make")
        << "1H2S:1 2 ;13 14 ;23 24 ;" << QStringList{"Huvudkontakt", "Slutande", "Slutande"}
        << QStringList{"23", "24", ""};
    QTest::newRow("not as the dialog writes it")
        << "1S1B:13 14;11 12" << QStringList{"Slutande", "Brytande"} << QStringList{"11", "12", ""};
}

void TestContactDefinitionDialog::openingShowsTheText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, lastTerminals);

    Fixture f(text);
    QCOMPARE(f.shownSlots(), shown);
    QCOMPARE(f.terminalTexts(std::max(0, int(shown.size()) - 1)), lastTerminals);
    // Type 0 is chosen; nothing is selected to remove.
    QVERIFY(f.type(0)->isChecked());
    QVERIFY(f.typeLabel(0)->font().bold());
    QVERIFY(!f.button("cmdRemove")->isEnabled());
    QCOMPARE(f.terminals()->currentText(), QStringLiteral("1 2"));

    // Confirmed unchanged, the text comes back exactly.
    QTest::mouseClick(f.button("cmdOK"), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.dialog.definition(), text);
    QVERIFY(f.prompter.shown.isEmpty());
}

void TestContactDefinitionDialog::addingAndRemovingWithTheMouse()
{
    Fixture f;
    QTest::mouseClick(f.type(1), Qt::LeftButton);
    QVERIFY(f.type(1)->isChecked());
    QVERIFY(!f.type(0)->isChecked());
    QCOMPARE(f.terminals()->count(), 2);
    QCOMPARE(f.terminals()->currentText(), QStringLiteral("13 14"));
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(f.shownSlots(), QStringList{"Slutande"});
    QCOMPARE(f.terminalTexts(0), (QStringList{"13", "14", ""}));
    QVERIFY(f.slot(0)->isChecked());
    QVERIFY(f.button("cmdRemove")->isEnabled());
    // The list moves on to the next markings.
    QCOMPARE(f.terminals()->currentText(), QStringLiteral("23 24"));

    // A double-click on a type chooses and adds it.
    QTest::mouseDClick(f.type(2), Qt::LeftButton);
    QCOMPARE(f.shownSlots(), (QStringList{"Slutande", "Brytande"}));
    QCOMPARE(f.terminalTexts(1), (QStringList{"11", "12", ""}));

    // A double-click on a slot removes it.
    QTest::mouseDClick(f.slot(0), Qt::LeftButton);
    QCOMPARE(f.shownSlots(), (QStringList{"", "Brytande"}));
    QCOMPARE(f.terminalTexts(0), (QStringList{"", "", ""}));
    QVERIFY(!f.button("cmdRemove")->isEnabled());

    QTest::mouseClick(f.slot(1), Qt::LeftButton);
    QVERIFY(f.slot(1)->isChecked());
    QTest::mouseClick(f.button("cmdOK"), Qt::LeftButton);
    QCOMPARE(f.dialog.definition(), QStringLiteral("1B:11 12 ;"));
}

void TestContactDefinitionDialog::chosenMarkingIsUsed()
{
    Fixture f;
    QTest::mouseClick(f.type(1), Qt::LeftButton);
    f.terminals()->setFocus();
    QTest::keyClick(f.terminals(), Qt::Key_Down);
    QCOMPARE(f.terminals()->currentText(), QStringLiteral("23 24"));
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(f.terminalTexts(0), (QStringList{"23", "24", ""}));
}

void TestContactDefinitionDialog::refusedWhenFull()
{
    Fixture f;
    for (int i = 0; i < ContactDefinition::kSlotCount; ++i)
        QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QVERIFY(f.prompter.shown.isEmpty());
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(f.prompter.shown.size(), 1);
    QCOMPARE(f.prompter.shown[0].icon, MessageIcon::Warning);
    QCOMPARE(f.prompter.shown[0].text, QStringLiteral("Kan ej addera fler kontakter"));
    QCOMPARE(f.shownSlots().size(), ContactDefinition::kSlotCount);
}

void TestContactDefinitionDialog::labelClickOnlyHighlights()
{
    Fixture f;
    QTest::mouseClick(f.typeLabel(2), Qt::LeftButton);
    QVERIFY(f.typeLabel(2)->font().bold());
    QVERIFY(!f.typeLabel(0)->font().bold());
    QVERIFY(f.type(2)->isChecked());
    QCOMPARE(f.typeLabel(2)->palette().color(QPalette::WindowText),
             f.dialog.palette().color(QPalette::Highlight));
    // The main contact stays the one added.
    QCOMPARE(f.terminals()->currentText(), QStringLiteral("1 2"));
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(f.shownSlots(), QStringList{"Huvudkontakt"});
}

void TestContactDefinitionDialog::cancelGivesNothing()
{
    Fixture f(QStringLiteral("1S:13 14 ;"));
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QTest::mouseClick(f.button("cmdCancel"), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(f.dialog.definition(), QString());
}

void TestContactDefinitionDialog::textLongerThanTheFieldIsRefused()
{
    Fixture f(QStringLiteral("1H2S:1 2 ;13 14 ;23 24 ;")); // 24 characters
    f.dialog.setFieldLength(30);
    auto *length = control<QLabel>(f.dialog, "lblLength");
    auto *error = control<QLabel>(f.dialog, "lblError");
    auto *warning = control<QLabel>(f.dialog, "lblWarning");
    QCOMPARE(length->text(), QStringLiteral("24 av 30 tecken"));
    QVERIFY(f.button("cmdOK")->isEnabled());
    QVERIFY(!error->isVisible());
    QVERIFY(!warning->isVisible());

    // Two more make contacts take 14 characters; the make list offers 13 14 and 23 24 again.
    QTest::mouseClick(f.type(1), Qt::LeftButton);
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QTest::mouseClick(f.button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(length->text(), QStringLiteral("38 av 30 tecken"));
    QVERIFY(!f.button("cmdOK")->isEnabled());
    QVERIFY(error->isVisible());
    QVERIFY(error->text().startsWith(QStringLiteral("Texten behöver 38 tecken")));
    QCOMPARE(error->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(),
             QStringLiteral("Uttagsmärkningarna 13, 14, 23 och 24 används mer än en gång."));
    // Enter, the default button, cannot write it either.
    QTest::keyClick(&f.dialog, Qt::Key_Return);
    QVERIFY(f.dialog.isVisible());
    QCOMPARE(f.dialog.definition(), QString());

    // Taking the last contact away makes it fit again, with the warning still there.
    QTest::mouseClick(f.button("cmdRemove"), Qt::LeftButton);
    QCOMPARE(length->text(), QStringLiteral("31 av 30 tecken"));
    QTest::mouseClick(f.button("cmdRemove"), Qt::LeftButton);
    QCOMPARE(length->text(), QStringLiteral("24 av 30 tecken"));
    QVERIFY(f.button("cmdOK")->isEnabled());
    QVERIFY(!error->isVisible());
    QTest::mouseClick(f.button("cmdOK"), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.dialog.definition(), QStringLiteral("1H2S:1 2 ;13 14 ;23 24 ;"));
}

void TestContactDefinitionDialog::presets()
{
    const QString text = QStringLiteral("1H2S:1 2 ;13 14 ;23 24 ;");
    {
        Fixture f(text);
        QCOMPARE(f.presets()->count(), 0);
        QTest::mouseClick(f.button("cmdSavePreset"), Qt::LeftButton);
        QCOMPARE(f.presets()->count(), 1);
        QCOMPARE(f.presets()->item(0)->text(), text);
    }
    QCOMPARE(ContactPresets::read(),
             (QList<ContactPresets::Preset>{{"1H2S", "1 2 ;13 14 ;23 24 ;"}}));

    Fixture f(QStringLiteral("1S:11 12 ;"));
    QCOMPARE(f.presets()->count(), 1);
    QVERIFY(!f.button("cmdDeletePreset")->isEnabled());

    // A double-click shows the preset instead of what was there.
    QListWidgetItem *item = f.presets()->item(0);
    const QRect rect = f.presets()->visualItemRect(item);
    QTest::mouseClick(f.presets()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(f.presets()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(f.shownSlots(), (QStringList{"Huvudkontakt", "Slutande", "Slutande"}));
    QCOMPARE(f.terminalTexts(2), (QStringList{"23", "24", ""}));

    QVERIFY(f.button("cmdDeletePreset")->isEnabled());
    QTest::mouseClick(f.button("cmdDeletePreset"), Qt::LeftButton);
    QCOMPARE(f.presets()->count(), 0);
    QVERIFY(ContactPresets::read().isEmpty());
    QVERIFY(f.prompter.shown.isEmpty());

    QTest::mouseClick(f.button("cmdOK"), Qt::LeftButton);
    QCOMPARE(f.dialog.definition(), text);

    // A preset is kept as the dialog writes it, so the same contacts share one key.
    Fixture unusual(QStringLiteral("1S1S:13 14;23 24"));
    QTest::mouseClick(unusual.button("cmdSavePreset"), Qt::LeftButton);
    QCOMPARE(ContactPresets::read(), (QList<ContactPresets::Preset>{{"2S", "13 14 ;23 24 ;"}}));
    QVERIFY(ContactPresets::remove(QStringLiteral("2S")));

    // An empty definition is not kept.
    Fixture empty;
    QTest::mouseClick(empty.button("cmdSavePreset"), Qt::LeftButton);
    QCOMPARE(empty.presets()->count(), 0);
    QVERIFY(!QFile::exists(ContactPresets::defaultFile()) || ContactPresets::read().isEmpty());
}

QTEST_MAIN(TestContactDefinitionDialog)
#include "tst_contactdefinitiondialog.moc"
