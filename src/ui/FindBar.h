#pragma once

#include "browse/ArticleSearch.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeWidget;

// The find bar over the grid: a search field, the hits by group, manufacturer, ARTNR and
// BENÄMNING, and a close button. It only reports what the user asks for; the window searches
// and shows the hits.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    void setHits(const QList<ArticleSearch::Hit> &hits);
    const QList<ArticleSearch::Hit> &hits() const { return m_hits; }
    int currentIndex() const;
    // Puts the cursor in the search field with its text selected.
    void focusSearch();
    // "3 träffar", "1 träff", "Inga träffar": shown beside the search field.
    static QString hitCountText(int hits);

signals:
    void searchRequested(const QString &text);
    void hitActivated(int index);
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Enter and F3 step forward, Shift+F3 back; a new text is searched first.
    void step(int delta);
    void activate(int index);
    // Escape or "Stäng": hidden, and the next find starts at its first hit.
    void dismiss();

    QLineEdit *m_edit;
    QTreeWidget *m_list;
    QLabel *m_count = nullptr;
    QList<ArticleSearch::Hit> m_hits;
    QString m_searched;
};
