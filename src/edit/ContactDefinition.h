#pragma once

#include "browse/GridChange.h"
#include "edit/CutCells.h"
#include "edit/TerminalDefinitions.h"

#include <QString>
#include <QStringList>

#include <array>

class ArticleGrid;

// The contacts of a contactor or relay as the contact-definition dialog edits them: up to 12
// slots, each holding a contact type and three terminal markings, and the text they make for the
// CCONF column, e.g. "1H2S:1 2 ;13 14 ;23 24 ;" (one main contact, two make contacts). The
// dialog's rules for choosing types, adding, selecting and removing slots live here; the dialog
// only shows this state.
class ContactDefinition
{
public:
    static constexpr int kTypeCount = 15;
    static constexpr int kSlotCount = 12;
    static constexpr int kTerminalsPerSlot = 3;
    static constexpr int kTerminalCount = kSlotCount * kTerminalsPerSlot;

    struct ContactType
    {
        char code;           // stored in the slots; the text writes M, O, C as H, S, B
        const char *label;   // the caption under the picture
        const char *frame;   // the frame it is shown in; empty for the main contact
        const char *picture; // the drawing's name
    };

    static const std::array<ContactType, kTypeCount> &types();
    // The first type with this code; -1 when none has it.
    static int typeWithCode(QChar code);

    // The highest numeric markings in use: U1 among one-character markings, U2 among longer
    // ones, given as its first digit followed by 9 (23 gives 29).
    struct Markings
    {
        int u1 = 0;
        int u2 = 0;
    };

    explicit ContactDefinition(TerminalDefinitions terminals = {});

    // -------------------------------------------------------------------- slots
    // The type shown in a slot; -1 for a free slot, which is not shown.
    int slotType(int slot) const { return m_slots[size_t(slot)]; }
    bool isFilled(int slot) const { return slotType(slot) >= 0; }
    // Terminal label 3k, 3k + 1 and 3k + 2 belong to slot k.
    const QString &terminal(int label) const { return m_terminals[size_t(label)]; }
    int nextSlot() const { return m_nextSlot; }
    // -1 when none.
    int selectedSlot() const { return m_selectedSlot; }
    bool removeEnabled() const { return m_removeEnabled; }

    // ---------------------------------------------------------- types and markings
    int currentType() const { return m_currentType; }
    // The type drawn with a border and a bold label: the current one, or one whose label was
    // clicked.
    int highlightedType() const { return m_highlightedType; }
    // The markings offered for the current type, and the chosen one (-1 when the list is empty).
    const QStringList &terminalChoices() const { return m_choices; }
    int terminalPosition() const { return m_position; }
    void setTerminalPosition(int position);

    Markings FindHighestMarkings() const;

    // Makes `type` current and offers its markings, starting at the one that follows the
    // markings already in use where the definitions have it.
    void selectType(int type);
    // Clicking a label only highlights its type.
    void highlightType(int type);
    // Fills the first free slot with the current type and the chosen markings, and moves on to
    // the next markings. False, with nothing changed, when every slot is taken.
    bool add();
    void selectSlot(int slot);
    // Frees the selected slot and selects the one before it.
    void remove();
    // Every slot free, none selected.
    void clear();

    // Shows an existing text in the slots. Texts that are too short or have no ":" show nothing.
    void DisplayPresets(const QString &text);
    // The text of the filled slots; empty when none is filled.
    QString BuildDefinition() const;
    // What OK writes: the text last shown while the slots are as it left them (so an unchanged
    // text comes back exactly as it was), otherwise BuildDefinition().
    QString definition() const;

    // Whether a text fits the field it is written into, and what the dialog says about it.
    struct Fit
    {
        int length = 0;               // characters the text needs
        int fieldLength = 0;          // characters the field holds; 0 when it has no limit
        QStringList repeatedMarkings; // markings given to more than one terminal, in text order

        bool fits() const { return fieldLength <= 0 || length <= fieldLength; }
        // "38 av 40 tecken", or "38 tecken" without a limit.
        QString lengthText() const;
        // Why the text cannot be written; empty when it fits.
        QString refusal() const;
        // The repeated markings, which are allowed but rarely meant; empty when there are none.
        QString warning() const;
    };
    static Fit fit(const QString &text, int fieldLength);
    // The fit of what OK writes.
    Fit fit(int fieldLength) const { return fit(definition(), fieldLength); }

    // What writing a definition into the grid did.
    struct WriteResult
    {
        bool edited = false; // the window enters its edited state
        CutCells cuts;       // cells cut to the field's length
        GridChange change;
    };

    // Writes `text` into `column` of the data rows firstRow..lastRow. An empty text writes
    // nothing.
    static WriteResult writeToGrid(ArticleGrid &grid, int firstRow, int lastRow, int column,
                                   const QString &text);

private:
    TerminalDefinitions m_terminalDefinitions;
    std::array<int, kSlotCount> m_slots;
    std::array<QString, kTerminalCount> m_terminals;
    int m_nextSlot = 0;
    int m_selectedSlot = -1;
    bool m_removeEnabled = false;
    int m_currentType = 0;
    int m_highlightedType = 0;
    QStringList m_choices;
    int m_position = -1;

    // The last text DisplayPresets showed, and the slots as it left them.
    QString m_shownText;
    std::array<int, kSlotCount> m_shownSlots;
    std::array<QString, kTerminalCount> m_shownTerminals;
};
