#pragma once

#include "browse/GroupTree.h"

#include <QHash>
#include <QTreeWidget>

#include <functional>
#include <optional>

// The group tree "FgTree": the root "Artiklar", one row per article group, and under a group its
// manufacturers, loaded the first time the group is expanded. Each row keeps its key.
class GroupTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    // The manufacturers of a group, or nothing when the articles have no manufacturer column.
    using ManufacturerLoader = std::function<std::optional<QStringList>(const QString &blockName)>;

    explicit GroupTreeView(QWidget *parent = nullptr);
    ~GroupTreeView() override;

    void setManufacturerLoader(ManufacturerLoader loader) { m_loader = std::move(loader); }

    // Rebuilds the tree with every group collapsed and the root current; the group of lastKey
    // is scrolled into view.
    void build(const QList<GroupTree::Group> &groups, const QString &lastKey);

    // Takes every row away (use it rather than clear(), which would leave the keys behind).
    void clearGroups();

    QString currentKey() const;
    QTreeWidgetItem *itemWithKey(const QString &key) const;
    void setCurrentKey(const QString &key);
    // Shows the current row in bold and every other row in the normal font.
    void markCurrentBold();

    static QString keyOf(const QTreeWidgetItem *item);

signals:
    // The user picked a row: released the left button on it, or moved with the arrow keys.
    void rowPicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void expandGroup(QTreeWidgetItem *item);
    void remember(QTreeWidgetItem *item);

    ManufacturerLoader m_loader;
    QHash<QString, QTreeWidgetItem *> m_byKey; // every row, for picking by key at once
    QTreeWidgetItem *m_bold = nullptr;
    bool m_building = false;
};
