#pragma once

#include "edit/ContactDefinition.h"

#include <QDialog>

#include <array>

class Prompter;
class QComboBox;
class QGroupBox;
class QLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

// "Kontaktdefinition" (frmContactDef): puts together the CCONF text of a contactor or relay from
// contact pictures and terminal markings. Run it modally with the cell's text; after exec()
// answered Accepted, definition() is the text to write (empty: write nothing). The dialog itself
// changes no grid. Definitions can be kept as presets in the program's .ini and used again.
class ContactDefinitionDialog : public QDialog
{
    Q_OBJECT

public:
    // Reads the terminal markings from chelcondef.txt; a missing file is reported.
    ContactDefinitionDialog(Prompter &prompter, const QString &initialText,
                            QWidget *parent = nullptr);
    ContactDefinitionDialog(Prompter &prompter, const QString &initialText,
                            TerminalDefinitions terminals, QWidget *parent = nullptr);

    QString definition() const { return m_definition; }
    // The characters the CCONF field holds (0: no limit). A longer text cannot be confirmed.
    void setFieldLength(int length);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QGroupBox *timedContactsFrame();
    QLayout *slotCommandsLayout();
    QGroupBox *slotsFrame();
    QGroupBox *presetsFrame();
    QLayout *messagesLayout();
    QLayout *closeButtonsLayout();
    QWidget *typeControl(int type);
    QWidget *slotControl(int slot);
    void showState();

    void selectType(int type);
    void addContact();
    void removeContact();
    void selectSlot(int slot);
    void confirm();

    void loadPresets();
    void savePreset();
    void applyPreset();
    void deletePreset();

    Prompter &m_prompter;
    ContactDefinition m_contacts;
    QString m_definition;

    std::array<QToolButton *, ContactDefinition::kTypeCount> m_typeButtons{};
    std::array<QLabel *, ContactDefinition::kTypeCount> m_typeLabels{};
    std::array<QToolButton *, ContactDefinition::kSlotCount> m_slotButtons{};
    std::array<QLabel *, ContactDefinition::kTerminalCount> m_terminalLabels{};
    QComboBox *m_terminals = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QListWidget *m_presets = nullptr;
    QPushButton *m_deletePreset = nullptr;
    QLabel *m_length = nullptr;
    QLabel *m_error = nullptr;
    QLabel *m_warning = nullptr;
    QPushButton *m_ok = nullptr;
    int m_fieldLength = 0;
};
