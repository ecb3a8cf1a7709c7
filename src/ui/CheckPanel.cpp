#include "ui/CheckPanel.h"

#include "check/CheckFix.h"
#include "check/CheckReport.h"

#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace {

// The index of a finding in the panel's list, kept on its row; -1 on a rule's row.
constexpr int kFindingRole = Qt::UserRole;

} // namespace

CheckPanel::CheckPanel(QWidget *parent) : QDockWidget(QStringLiteral("Kontrollera katalog"), parent)
{
    setObjectName(QStringLiteral("dockCheck"));
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    m_summary = new QLabel(content);
    m_summary->setObjectName(QStringLiteral("lblCheckSummary"));
    m_list = new QTreeWidget(content);
    m_list->setObjectName(QStringLiteral("tvwFindings"));
    m_list->setAccessibleName(QStringLiteral("Fynd"));
    m_list->setHeaderLabels({QStringLiteral("Fynd"), QStringLiteral("Plats")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setAlternatingRowColors(true);
    m_fix = new QPushButton(QStringLiteral("Åtgärda"), content);
    m_fix->setObjectName(QStringLiteral("cmdFix"));
    m_fix->setAccessibleName(QStringLiteral("Åtgärda"));
    m_fix->setEnabled(false);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    layout->addWidget(m_fix);
    setWidget(content);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { activate(item); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CheckPanel::offerFix);
    connect(m_fix, &QPushButton::clicked, this, [this] {
        if (const int index = currentIndex(); index >= 0)
            emit fixRequested(m_findings[index]);
    });
}

void CheckPanel::setFindings(const Findings &findings)
{
    m_findings = findings;
    m_fixed = QList<bool>(findings.size(), false);
    m_list->clear();
    std::array<int, 3> counts{};
    QMap<QString, QList<int>> byRule;
    for (int i = 0; i < findings.size(); ++i) {
        byRule[findings[i].ruleId].append(i);
        ++counts[size_t(findings[i].severity)];
    }
    for (auto it = byRule.cbegin(); it != byRule.cend(); ++it) {
        const Finding &first = findings[it->first()];
        auto *rule =
            new QTreeWidgetItem(m_list, {QStringLiteral("%1 (%2)").arg(it.key()).arg(it->size()),
                                         severityName(first.severity)});
        rule->setData(0, kFindingRole, -1);
        for (const int index : *it) {
            auto *row = new QTreeWidgetItem(
                rule, {findings[index].message, CheckReport::location(findings[index])});
            row->setData(0, kFindingRole, index);
        }
    }
    m_summary->setText(findings.isEmpty()
                           ? QStringLiteral("Inga fynd.")
                           : QStringLiteral("%1 fel, %2 varningar, %3 info. Dubbelklicka på ett "
                                            "fynd för att visa det.")
                                 .arg(counts[size_t(Severity::Error)])
                                 .arg(counts[size_t(Severity::Warning)])
                                 .arg(counts[size_t(Severity::Info)]));
}

int CheckPanel::currentIndex() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    const int index = item ? item->data(0, kFindingRole).toInt() : -1;
    return index >= 0 && index < m_findings.size() ? index : -1;
}

void CheckPanel::offerFix()
{
    const int index = currentIndex();
    const CheckFix fix =
        index >= 0 && !m_fixed[index] ? certainFixFor(m_findings[index]) : CheckFix::None;
    m_fix->setEnabled(fix != CheckFix::None);
    const QString caption = fix == CheckFix::None ? QStringLiteral("Åtgärda")
                                                  : QStringLiteral("Åtgärda: ") + fixCaption(fix);
    m_fix->setText(caption);
    m_fix->setAccessibleName(caption);
}

void CheckPanel::markCurrentFixed()
{
    const int index = currentIndex();
    if (index < 0)
        return;
    m_fixed[index] = true;
    QTreeWidgetItem *item = m_list->currentItem();
    item->setText(0, m_findings[index].message + QStringLiteral(" (åtgärdat, ej sparat)"));
    QFont font = item->font(0);
    font.setItalic(true);
    item->setFont(0, font);
    offerFix();
}

void CheckPanel::activate(QTreeWidgetItem *item)
{
    const int index = item ? item->data(0, kFindingRole).toInt() : -1;
    if (index >= 0 && index < m_findings.size())
        emit findingActivated(m_findings[index]);
}
