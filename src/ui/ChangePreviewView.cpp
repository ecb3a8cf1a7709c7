#include "ui/ChangePreviewView.h"

#include "sheet/ChangePreviewModel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

} // namespace

ChangePreviewView::ChangePreviewView(QWidget *parent)
    : QWidget(parent), m_model(new ChangePreviewModel(this))
{
    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Visa:")));
    for (int kind = 0; kind < kProposalKinds; ++kind) {
        auto *box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("chkKind%1").arg(kind));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, kind](bool on) {
            m_model->setKindShown(ProposalKind(kind), on);
            m_tree->expandAll();
        });
        m_kinds[size_t(kind)] = box;
        filters->addWidget(box);
    }
    filters->addStretch();

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("tvwChanges"));
    m_tree->setAccessibleName(QStringLiteral("Ändringar"));
    m_tree->setModel(m_model);
    m_tree->setAlternatingRowColors(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblChosen"));
    auto *all = button("cmdChooseAll", QStringLiteral("Markera &alla"));
    auto *none = button("cmdChooseNone", QStringLiteral("Avmarkera a&lla"));
    m_take = button("cmdTake", QStringLiteral("&Ta in markerade"));
    connect(all, &QPushButton::clicked, this, [this] { m_model->setAllChosen(true); });
    connect(none, &QPushButton::clicked, this, [this] { m_model->setAllChosen(false); });
    connect(m_take, &QPushButton::clicked, this, [this] {
        if (m_model->chosenCount() > 0)
            emit takeRequested();
    });
    connect(m_model, &ChangePreviewModel::choiceChanged, this, &ChangePreviewView::updateCounts);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addWidget(m_take);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filters);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    updateCounts();
}

void ChangePreviewView::setKindNames(const std::array<QString, kProposalKinds> &names)
{
    m_model->setKindNames(names);
    updateCounts();
}

void ChangePreviewView::setProposals(Proposals proposals)
{
    m_model->setProposals(std::move(proposals));
    m_tree->expandAll();
    updateCounts();
}

void ChangePreviewView::updateCounts()
{
    for (int kind = 0; kind < kProposalKinds; ++kind) {
        QCheckBox *box = m_kinds[size_t(kind)];
        const int count = m_model->count(ProposalKind(kind));
        const QString caption =
            QStringLiteral("%1 (%2)").arg(m_model->kindName(ProposalKind(kind))).arg(count);
        box->setText(caption);
        box->setAccessibleName(caption);
        box->setVisible(count > 0);
    }
    const int chosen = m_model->chosenCount();
    m_summary->setText(QStringLiteral("%1 markerade").arg(chosen));
    m_take->setEnabled(chosen > 0);
}
