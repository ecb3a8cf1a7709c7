#include "ui/FindBar.h"
#include "db/Schema.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_list(new QTreeWidget(this))
{
    auto *label = new QLabel(tr("Sök:"), this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblHits"));
    label->setBuddy(m_edit);
    m_edit->setAccessibleName(tr("Sök"));
    auto *close = new QPushButton(tr("Stäng"), this);
    close->setAccessibleName(tr("Stäng"));

    m_list->setColumnCount(4);
    m_list->setHeaderLabels(
        {tr("Grupp"), tr("Fabrikat"), Schema::kArticleNumber, Schema::kDesignation});
    m_list->setAccessibleName(tr("Träffar"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_edit, 1);
    row->addWidget(m_count);
    row->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(row);
    layout->addWidget(m_list);

    connect(m_edit, &QLineEdit::returnPressed, this, [this] { step(1); });
    connect(close, &QPushButton::clicked, this, &FindBar::dismiss);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { activate(m_list->indexOfTopLevelItem(item)); });
}

void FindBar::setHits(const QList<ArticleSearch::Hit> &hits)
{
    m_hits = hits;
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(hits.size());
    for (const ArticleSearch::Hit &hit : hits) {
        const QString group = hit.groupDescription.isEmpty() ? hit.blockName : hit.groupDescription;
        items << new QTreeWidgetItem(
            QStringList{group, hit.manufacturer, hit.articleNumber, hit.designation});
    }
    m_list->addTopLevelItems(items);
    m_count->setText(hitCountText(int(hits.size())));
    m_count->setAccessibleName(m_count->text());
}

QString FindBar::hitCountText(int hits)
{
    if (hits == 0)
        return tr("Inga träffar");
    return hits == 1 ? tr("1 träff") : tr("%1 träffar").arg(hits);
}

void FindBar::dismiss()
{
    // A find taken up again starts over at its first hit.
    m_searched.clear();
    m_list->setCurrentItem(nullptr);
    hide();
    emit closed();
}

int FindBar::currentIndex() const
{
    QTreeWidgetItem *item = m_list->currentItem();
    return item ? m_list->indexOfTopLevelItem(item) : -1;
}

void FindBar::focusSearch()
{
    m_edit->setFocus();
    m_edit->selectAll();
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F3) {
        step(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindBar::step(int delta)
{
    const QString text = m_edit->text();
    if (text != m_searched) {
        // A new text: the window answers with setHits(), then the first hit is shown.
        m_searched = text;
        emit searchRequested(text);
        if (!m_hits.isEmpty())
            activate(delta > 0 ? 0 : int(m_hits.size()) - 1);
        return;
    }
    if (m_hits.isEmpty())
        return;
    const int count = int(m_hits.size());
    const int current = currentIndex();
    const int next = current < 0 ? (delta > 0 ? 0 : count - 1) : (current + delta + count) % count;
    activate(next);
}

void FindBar::activate(int index)
{
    if (index < 0 || index >= m_hits.size())
        return;
    m_list->setCurrentItem(m_list->topLevelItem(index));
    emit hitActivated(index);
}
