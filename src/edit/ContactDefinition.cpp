#include "edit/ContactDefinition.h"

#include "browse/ArticleGrid.h"

#include <algorithm>
#include <utility>

namespace {

// Markings are compared as numbers only when they are plain digits ("13", not "A1" or "-").
bool markingNumber(const QString &text, int *value)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

QChar typeCode(int type)
{
    return QLatin1Char(ContactDefinition::types()[size_t(type)].code);
}

} // namespace

const std::array<ContactDefinition::ContactType, ContactDefinition::kTypeCount> &
ContactDefinition::types()
{
    static const std::array<ContactType, kTypeCount> table{{
        {'M', "Huvudkontakt", "", "main"},
        {'O', "Slutande", "Kontakter", "make"},
        {'C', "Brytande", "Kontakter", "break"},
        {'A', "Växlande", "Kontakter", "changeover"},
        {'D', "Tidigt slutande", "Kontakter", "early-make"},
        {'E', "Sent brytande", "Kontakter", "late-break"},
        // Delayed when the coil is switched on...
        {'Q', "Slutande", "Tidkontakter", "on-delay-make"},
        {'X', "Brytande", "Tidkontakter", "on-delay-break"},
        {'P', "Växlande", "Tidkontakter", "on-delay-changeover"},
        // ...and when it is switched off.
        {'Y', "Slutande", "Tidkontakter", "off-delay-make"},
        {'Z', "Brytande", "Tidkontakter", "off-delay-break"},
        {'R', "Växlande", "Tidkontakter", "off-delay-changeover"},
        {'T', "Termisk slutande", "Övriga", "thermal-make"},
        {'U', "Termisk brytande", "Övriga", "thermal-break"},
        {'N', "Signallampa", "Övriga", "signal-lamp"},
    }};
    return table;
}

int ContactDefinition::typeWithCode(QChar code)
{
    for (int type = 0; type < kTypeCount; ++type) {
        if (typeCode(type) == code)
            return type;
    }
    return -1;
}

ContactDefinition::ContactDefinition(TerminalDefinitions terminals)
    : m_terminalDefinitions(std::move(terminals))
{
    m_slots.fill(-1);
    m_shownSlots.fill(-1);
    selectType(0);
}

void ContactDefinition::setTerminalPosition(int position)
{
    if (position >= -1 && position < m_choices.size())
        m_position = position;
}

ContactDefinition::Markings ContactDefinition::FindHighestMarkings() const
{
    Markings highest;
    for (const QString &caption : m_terminals) {
        int value = 0;
        if (!markingNumber(caption, &value))
            continue;
        int &target = caption.size() == 1 ? highest.u1 : highest.u2;
        target = std::max(target, value);
    }
    // The next group of markings starts at the following ten: 23 gives 29.
    if (highest.u2 > 0)
        highest.u2 = QString::number(highest.u2).left(1).toInt() * 10 + 9;
    return highest;
}

void ContactDefinition::selectType(int type)
{
    if (type < 0 || type >= kTypeCount)
        return;
    const Markings highest = FindHighestMarkings();
    const QChar code = typeCode(type);
    const int wanted = code == u'M' ? highest.u1 : highest.u2;
    m_highlightedType = type;
    m_choices = m_terminalDefinitions.textsFor(code);
    int remembered = 0;
    for (int i = 0; i < m_choices.size(); ++i) {
        int first = 0;
        if (markingNumber(m_choices[i].section(QLatin1Char(' '), 0, 0), &first) && first == wanted)
            remembered = i;
    }
    m_position = m_choices.isEmpty() ? -1 : remembered;
    m_currentType = type;
}

void ContactDefinition::highlightType(int type)
{
    if (type >= 0 && type < kTypeCount)
        m_highlightedType = type;
}

bool ContactDefinition::add()
{
    if (m_nextSlot >= kSlotCount)
        return false;
    const auto freeSlot = std::find(m_slots.begin(), m_slots.end(), -1);
    if (freeSlot == m_slots.end())
        return false;
    const int slot = int(freeSlot - m_slots.begin());
    m_slots[size_t(slot)] = m_currentType;
    if (m_position >= 0 && !m_choices[m_position].isEmpty()) {
        // Markings beyond the third have no label in this slot and must not reach the next.
        const QStringList items = m_choices[m_position].split(QLatin1Char(' '));
        for (int b = 0; b < std::min(int(items.size()), kTerminalsPerSlot); ++b)
            m_terminals[size_t(slot * kTerminalsPerSlot + b)] = items[b];
    }
    selectSlot(slot);
    if (m_position >= 0 && m_position < m_choices.size() - 1)
        ++m_position;
    return true;
}

void ContactDefinition::selectSlot(int slot)
{
    if (slot < -1 || slot >= kSlotCount)
        return;
    m_selectedSlot = slot;
    m_nextSlot = slot + 1;
    m_removeEnabled = true;
}

void ContactDefinition::remove()
{
    if (m_selectedSlot < 0)
        return;
    if (m_selectedSlot == m_nextSlot - 1) {
        m_slots[size_t(m_selectedSlot)] = -1;
        for (int b = 0; b < kTerminalsPerSlot; ++b)
            m_terminals[size_t(m_selectedSlot * kTerminalsPerSlot + b)].clear();
        --m_nextSlot;
        --m_selectedSlot;
    }
    selectSlot(m_selectedSlot);
    selectType(m_currentType);
    if (m_nextSlot == 0)
        m_removeEnabled = false;
}

void ContactDefinition::clear()
{
    m_slots.fill(-1);
    for (QString &terminal : m_terminals)
        terminal.clear();
    m_nextSlot = 0;
    m_selectedSlot = -1;
    m_removeEnabled = false;
    m_shownText.clear();
}

void ContactDefinition::DisplayPresets(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (text.size() <= 3 || colon < 0)
        return;
    QString typePart = text.left(colon);
    typePart.replace(QLatin1Char('H'), QLatin1Char('M'))
        .replace(QLatin1Char('S'), QLatin1Char('O'))
        .replace(QLatin1Char('B'), QLatin1Char('C'));

    // Runs are a count and a code. A count of several digits is read whole, so runs of more
    // than nine contacts come back; a code without a count stands for one contact.
    int slot = 0;
    qsizetype i = 0;
    while (i < typePart.size()) {
        int count = 0;
        bool counted = false;
        while (i < typePart.size() && typePart[i] >= u'0' && typePart[i] <= u'9') {
            count = std::min(count * 10 + typePart[i].digitValue(), kSlotCount);
            counted = true;
            ++i;
        }
        if (i == typePart.size())
            break;
        const int type = typeWithCode(typePart[i++]);
        if (type < 0)
            continue;
        for (int n = 0; n < (counted ? count : 1) && slot < kSlotCount; ++n)
            m_slots[size_t(slot++)] = type;
    }
    m_nextSlot = std::max(m_nextSlot, slot);

    const QStringList groups = text.mid(colon + 1).split(QLatin1Char(';'));
    for (int b = 0; b < std::min(int(groups.size()), kSlotCount); ++b) {
        const QStringList items = groups[b].split(QLatin1Char(' '));
        for (int f = 0; f < std::min(int(items.size()), kTerminalsPerSlot); ++f)
            m_terminals[size_t(b * kTerminalsPerSlot + f)] = items[f];
    }

    m_shownText = text;
    m_shownSlots = m_slots;
    m_shownTerminals = m_terminals;
}

QString ContactDefinition::BuildDefinition() const
{
    QString typePart;
    QString terminalPart;
    QChar runCode;
    int runLength = 0;
    const auto endRun = [&] {
        if (runLength > 0)
            typePart += QString::number(runLength) + runCode;
    };
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!isFilled(slot))
            continue;
        const QChar code = typeCode(m_slots[size_t(slot)]);
        if (code == runCode) {
            ++runLength;
        } else {
            endRun();
            runCode = code;
            runLength = 1;
        }
        for (int b = 0; b < kTerminalsPerSlot; ++b)
            terminalPart += m_terminals[size_t(slot * kTerminalsPerSlot + b)] + QLatin1Char(' ');
        terminalPart += QLatin1Char(';');
    }
    endRun();
    if (typePart.isEmpty())
        return {};
    typePart.replace(QLatin1Char('M'), QLatin1Char('H'))
        .replace(QLatin1Char('O'), QLatin1Char('S'))
        .replace(QLatin1Char('C'), QLatin1Char('B'));
    // One pass from the left: a slot with one marking keeps two spaces before its ";".
    terminalPart.replace(QStringLiteral("  "), QStringLiteral(" "));
    return typePart + QLatin1Char(':') + terminalPart;
}

QString ContactDefinition::definition() const
{
    if (!m_shownText.isEmpty() && m_slots == m_shownSlots && m_terminals == m_shownTerminals)
        return m_shownText;
    return BuildDefinition();
}

ContactDefinition::Fit ContactDefinition::fit(const QString &text, int fieldLength)
{
    Fit result;
    result.length = int(text.size());
    result.fieldLength = qMax(0, fieldLength);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return result;
    // A real contact has markings of its own: one met twice is most often a list run out.
    QStringList seen;
    const QStringList groups = text.mid(colon + 1).split(QLatin1Char(';'));
    for (const QString &group : groups) {
        for (const QString &marking : group.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!seen.contains(marking))
                seen << marking;
            else if (!result.repeatedMarkings.contains(marking))
                result.repeatedMarkings << marking;
        }
    }
    return result;
}

QString ContactDefinition::Fit::lengthText() const
{
    if (fieldLength <= 0)
        return QStringLiteral("%1 tecken").arg(length);
    return QStringLiteral("%1 av %2 tecken").arg(length).arg(fieldLength);
}

QString ContactDefinition::Fit::refusal() const
{
    if (fits())
        return {};
    return QStringLiteral("Texten behöver %1 tecken men fältet CCONF rymmer %2. Ta bort kontakter "
                          "eller gör fältet längre (Skift+klick på kolumnrubriken).")
        .arg(length)
        .arg(fieldLength);
}

QString ContactDefinition::Fit::warning() const
{
    if (repeatedMarkings.isEmpty())
        return {};
    if (repeatedMarkings.size() == 1)
        return QStringLiteral("Uttagsmärkningen %1 används mer än en gång.")
            .arg(repeatedMarkings.first());
    const QString names =
        repeatedMarkings.first(repeatedMarkings.size() - 1).join(QStringLiteral(", ")) +
        QStringLiteral(" och ") + repeatedMarkings.last();
    return QStringLiteral("Uttagsmärkningarna %1 används mer än en gång.").arg(names);
}

ContactDefinition::WriteResult ContactDefinition::writeToGrid(ArticleGrid &grid, int firstRow,
                                                              int lastRow, int column,
                                                              const QString &text)
{
    if (text.isEmpty() || column < 1 || column >= grid.cols())
        return {};
    const int r1 = std::max(1, std::min(firstRow, lastRow));
    const int r2 = std::min(grid.rows() - 1, std::max(firstRow, lastRow));
    if (r1 > r2)
        return {};
    WriteResult result;
    for (int row = r1; row <= r2; ++row)
        result.cuts.write(grid, row, column, text);
    result.edited = true;
    result.change = GridChange::cellsChanged({r1, column, r2, column});
    return result;
}
