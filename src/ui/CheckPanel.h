#pragma once

#include "check/Finding.h"

#include <QDockWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Kontrollera katalog": the findings of the catalogue check beside the grid, grouped by rule
// with a count each. A double-click on a finding asks the window to show where it is; where the
// right fix is certain, the fix button offers it for the current finding.
class CheckPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit CheckPanel(QWidget *parent = nullptr);

    void setFindings(const Findings &findings);
    const Findings &findings() const { return m_findings; }
    QTreeWidget *list() const { return m_list; }
    QPushButton *fixButton() const { return m_fix; }
    // The current finding was fixed in the grid (not yet saved): it says so and offers no fix.
    void markCurrentFixed();

signals:
    void findingActivated(const Finding &finding);
    void fixRequested(const Finding &finding);

private:
    void activate(QTreeWidgetItem *item);
    int currentIndex() const;
    void offerFix();

    QLabel *m_summary = nullptr;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_fix = nullptr;
    QList<bool> m_fixed;
    Findings m_findings;
};
