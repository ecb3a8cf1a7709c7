#include "ui/ComparisonWindow.h"

#include "sheet/ChangePreviewModel.h"
#include "ui/ChangePreviewView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kBlockNameRole = Qt::UserRole;

// A sign beside the word, so the kind reads the same in every colour scheme.
QString signOf(const QString &kind)
{
    if (kind == QLatin1String("Tillagd"))
        return QStringLiteral("+");
    if (kind == QLatin1String("Borttagen"))
        return QStringLiteral("−");
    return QStringLiteral("≠");
}

} // namespace

ComparisonWindow::ComparisonWindow(const QString &otherName, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Jämför med %1").arg(otherName));
    setAttribute(Qt::WA_DeleteOnClose);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setWordWrap(true);

    m_groups = new QTreeWidget(this);
    m_groups->setObjectName(QStringLiteral("tvwGroups"));
    m_groups->setAccessibleName(QStringLiteral("Grupper med skillnader"));
    m_groups->setHeaderLabels(
        {QStringLiteral("Grupp"), QStringLiteral("Slag"), QStringLiteral("Artiklar")});
    m_groups->setRootIsDecorated(false);
    m_groups->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_groups, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            emit groupPicked(item->data(0, kBlockNameRole).toString());
    });

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblNote"));
    m_note->setWordWrap(true);
    m_preview = new ChangePreviewView(this);
    m_preview->setKindNames(DifferenceProposals::kindNames());
    connect(m_preview, &ChangePreviewView::takeRequested, this,
            [this] { emit takeRequested(m_preview->model()->proposals()); });
    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_note);
    rightLayout->addWidget(m_preview, 1);

    auto *split = new QSplitter(this);
    split->addWidget(m_groups);
    split->addWidget(right);
    split->setStretchFactor(1, 1);

    auto *report = new QPushButton(QStringLiteral("Spara &rapport..."), this);
    report->setObjectName(QStringLiteral("cmdReport"));
    report->setAccessibleName(QStringLiteral("Spara rapport"));
    auto *close = new QPushButton(QStringLiteral("St&äng"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAccessibleName(QStringLiteral("Stäng"));
    connect(report, &QPushButton::clicked, this, &ComparisonWindow::reportRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(report);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(1000, 600);
}

void ComparisonWindow::setGroups(const QList<DifferenceProposals::GroupEntry> &groups,
                                 const QString &summary)
{
    m_summary->setText(summary);
    m_groups->clear();
    for (const DifferenceProposals::GroupEntry &g : groups) {
        const QString name = g.description.isEmpty()
                                 ? g.blockName
                                 : g.blockName + QStringLiteral("  ") + g.description;
        auto *item =
            new QTreeWidgetItem(m_groups, {name, signOf(g.kind) + QLatin1Char(' ') + g.kind,
                                           QString::number(g.articles)});
        item->setData(0, kBlockNameRole, g.blockName);
    }
    showProposals({}, groups.isEmpty() ? QStringLiteral("Katalogerna är lika.")
                                       : QStringLiteral("Välj en grupp till vänster."));
}

void ComparisonWindow::showProposals(const Proposals &proposals, const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_preview->setProposals(proposals);
}
