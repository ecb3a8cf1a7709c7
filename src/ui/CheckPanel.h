#pragma once

#include "check/Finding.h"

#include <QDockWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// "Kontrollera katalog": the findings of the catalogue check beside the grid, grouped by rule
// with a count each. A double-click on a finding asks the window to show where it is.
class CheckPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit CheckPanel(QWidget *parent = nullptr);

    void setFindings(const Findings &findings);
    const Findings &findings() const { return m_findings; }
    QTreeWidget *list() const { return m_list; }

signals:
    void findingActivated(const Finding &finding);

private:
    void activate(QTreeWidgetItem *item);

    QLabel *m_summary = nullptr;
    QTreeWidget *m_list = nullptr;
    Findings m_findings;
};
