#include "ui/GroupTreeView.h"

#include "ui/Icons.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr int kKeyRole = Qt::UserRole;

QTreeWidgetItem *makeRow(const QString &text, const QString &key, const QIcon &icon)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKeyRole, key);
    item->setIcon(0, icon);
    return item;
}

bool isPlaceholder(const QTreeWidgetItem *item)
{
    return item && item->text(0).isEmpty() && GroupTreeView::keyOf(item).isEmpty();
}

} // namespace

GroupTreeView::GroupTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("FgTree"));
    setAccessibleName(QStringLiteral("Artikelgrupper"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(true);
    connect(this, &QTreeWidget::itemExpanded, this, &GroupTreeView::expandGroup);
}

GroupTreeView::~GroupTreeView()
{
    // Interfaces an accessibility client asked for hold a persistent index each; taken away
    // row by row with the items, every row would walk all of them. They go first, at once.
    if (QAccessible::isActive()) {
        if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(this))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
    clearGroups();
}

void GroupTreeView::clearGroups()
{
    m_byKey.clear();
    m_bold = nullptr;
    clear();
}

void GroupTreeView::remember(QTreeWidgetItem *item)
{
    m_byKey.insert(keyOf(item), item);
}

QString GroupTreeView::keyOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kKeyRole).toString() : QString();
}

void GroupTreeView::build(const QList<GroupTree::Group> &groups, const QString &lastKey)
{
    m_building = true;
    setUpdatesEnabled(false);
    clearGroups();
    QTreeWidgetItem *root =
        makeRow(QStringLiteral("Artiklar"), GroupTree::rootKey(), Icons::folder(false));
    addTopLevelItem(root);
    remember(root);
    m_byKey.reserve(groups.size() + 1);
    QTreeWidgetItem *remembered = root;
    QList<QTreeWidgetItem *> rows;
    rows.reserve(groups.size());
    for (const GroupTree::Group &group : groups) {
        QTreeWidgetItem *row =
            makeRow(group.description, GroupTree::groupKey(group.blockName), Icons::folder(false));
        // An empty child stands for the manufacturers until the group is first expanded.
        row->addChild(new QTreeWidgetItem(QStringList{QString()}));
        if (GroupTree::groupKey(group.blockName) == lastKey)
            remembered = row;
        remember(row);
        rows << row;
    }
    root->addChildren(rows);
    root->setExpanded(true);
    setCurrentItem(root);
    setUpdatesEnabled(true);
    m_building = false;
    scrollToItem(remembered);
}

QString GroupTreeView::currentKey() const
{
    return keyOf(currentItem());
}

QTreeWidgetItem *GroupTreeView::itemWithKey(const QString &key) const
{
    return m_byKey.value(key, nullptr);
}

void GroupTreeView::setCurrentKey(const QString &key)
{
    if (QTreeWidgetItem *item = itemWithKey(key))
        setCurrentItem(item);
}

void GroupTreeView::markCurrentBold()
{
    // Only the row that was bold and the current one change: a tree of many groups stays quick.
    auto setBold = [](QTreeWidgetItem *item, bool bold) {
        QFont font = item->font(0);
        if (font.bold() == bold)
            return;
        font.setBold(bold);
        item->setFont(0, font);
    };
    QTreeWidgetItem *current = currentItem();
    if (m_bold && m_bold != current)
        setBold(m_bold, false);
    m_bold = current;
    if (current)
        setBold(current, true);
}

void GroupTreeView::expandGroup(QTreeWidgetItem *item)
{
    if (m_building || !item || item->childCount() == 0 || !isPlaceholder(item->child(0)))
        return;
    delete item->takeChild(0);
    const QString key = keyOf(item);
    if (!key.startsWith(QLatin1Char('!')) || !m_loader)
        return;
    const QString blockName = key.mid(1);
    const std::optional<QStringList> manufacturers = m_loader(blockName);
    if (!manufacturers) {
        // Without manufacturers, opening a group shows its articles at once.
        setCurrentItem(item);
        emit rowPicked();
        return;
    }
    QList<QTreeWidgetItem *> rows;
    for (const QString &manufacturer : *manufacturers) {
        rows << makeRow(manufacturer, GroupTree::manufacturerKey(manufacturer, blockName),
                        Icons::manufacturer());
        remember(rows.last());
    }
    item->addChildren(rows);
    setCurrentItem(item);
}

void GroupTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && topLevelItemCount() > 0 && currentItem()) {
        emit rowPicked();
        markCurrentBold();
    }
}

void GroupTreeView::keyReleaseEvent(QKeyEvent *event)
{
    QTreeWidget::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        emit rowPicked();
}
