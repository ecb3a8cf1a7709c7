#include "sheet/ChangePreviewModel.h"

#include <algorithm>

ChangePreviewModel::ChangePreviewModel(QObject *parent) : QAbstractItemModel(parent)
{
    for (int kind = 0; kind < kProposalKinds; ++kind)
        m_kindNames[size_t(kind)] = proposalKindName(ProposalKind(kind));
}

void ChangePreviewModel::setKindNames(const std::array<QString, kProposalKinds> &names)
{
    m_kindNames = names;
    rebuild();
}

void ChangePreviewModel::setProposals(Proposals proposals)
{
    beginResetModel();
    m_proposals = std::move(proposals);
    m_visible.clear();
    for (int i = 0; i < m_proposals.size(); ++i) {
        if (m_shown[size_t(m_proposals.at(i).kind)])
            m_visible.push_back(i);
    }
    endResetModel();
    emit choiceChanged();
}

void ChangePreviewModel::rebuild()
{
    setProposals(std::move(m_proposals));
}

void ChangePreviewModel::setKindShown(ProposalKind kind, bool shown)
{
    if (m_shown[size_t(kind)] == shown)
        return;
    m_shown[size_t(kind)] = shown;
    rebuild();
}

int ChangePreviewModel::count(ProposalKind kind) const
{
    return int(std::count_if(m_proposals.begin(), m_proposals.end(),
                             [kind](const Proposal &p) { return p.kind == kind; }));
}

int ChangePreviewModel::chosenCount() const
{
    return int(std::count_if(m_proposals.begin(), m_proposals.end(),
                             [](const Proposal &p) { return p.chosen; }));
}

void ChangePreviewModel::setAllChosen(bool chosen)
{
    for (const int i : m_visible)
        m_proposals[i].chosen = chosen;
    if (!m_visible.empty())
        emit dataChanged(index(0, 0), index(int(m_visible.size()) - 1, ColumnCount - 1));
    emit choiceChanged();
}

int ChangePreviewModel::proposalAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() != 0)
        return -1;
    return m_visible[size_t(index.row())];
}

QModelIndex ChangePreviewModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < int(m_visible.size()) ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0)
        return {};
    const int proposal = m_visible[size_t(parent.row())];
    if (row >= m_proposals.at(proposal).fields.size())
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex ChangePreviewModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int ChangePreviewModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_visible.size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    return int(m_proposals.at(m_visible[size_t(parent.row())]).fields.size());
}

int ChangePreviewModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant ChangePreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() == 0) {
        const Proposal &p = m_proposals.at(m_visible[size_t(index.row())]);
        if (role == Qt::CheckStateRole && index.column() == ArticleColumn)
            return p.chosen ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case ArticleColumn:
            return p.label.isEmpty() ? QStringLiteral("(utan nyckel)") : p.label;
        case KindColumn:
            return kindName(p.kind);
        case NoteColumn:
            if (!p.note.isEmpty())
                return p.note;
            return p.line > 0 ? QStringLiteral("Rad %1 i listan").arg(p.line) : QString();
        default:
            return {};
        }
    }
    const Proposal &p = m_proposals.at(m_visible[size_t(index.internalId() - 1)]);
    const FieldProposal &f = p.fields.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == ArticleColumn)
        return f.chosen && f.canTake() ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case ArticleColumn:
        return f.field;
    case BeforeColumn:
        return f.before;
    case AfterColumn:
        return f.after;
    case NoteColumn:
        return f.blocked;
    default:
        return {};
    }
}

bool ChangePreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != ArticleColumn)
        return false;
    const bool on = value.toInt() == Qt::Checked;
    if (index.internalId() == 0) {
        m_proposals[m_visible[size_t(index.row())]].chosen = on;
    } else {
        FieldProposal &f =
            m_proposals[m_visible[size_t(index.internalId() - 1)]].fields[index.row()];
        if (!f.canTake())
            return false;
        f.chosen = on;
    }
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit choiceChanged();
    return true;
}

Qt::ItemFlags ChangePreviewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != ArticleColumn)
        return flags;
    if (index.internalId() == 0) {
        // A moved article is shown, not taken.
        const Proposal &p = m_proposals.at(m_visible[size_t(index.row())]);
        return p.kind == ProposalKind::Moved ? flags : flags | Qt::ItemIsUserCheckable;
    }
    const Proposal &p = m_proposals.at(m_visible[size_t(index.internalId() - 1)]);
    return p.fields.at(index.row()).canTake() ? flags | Qt::ItemIsUserCheckable
                                              : flags & ~Qt::ItemIsEnabled;
}

QVariant ChangePreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ArticleColumn:
        return QStringLiteral("Artikel / fält");
    case KindColumn:
        return QStringLiteral("Slag");
    case BeforeColumn:
        return QStringLiteral("Före");
    case AfterColumn:
        return QStringLiteral("Efter");
    case NoteColumn:
        return QStringLiteral("Anmärkning");
    default:
        return {};
    }
}
