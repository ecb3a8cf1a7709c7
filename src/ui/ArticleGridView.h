#pragma once

#include <QTableView>

// The article grid "FgDataGrid". Clicks in the row-selector column select whole rows; a right
// click keeps the selection (the popup acts on it); releases and the Delete key are reported
// for the window's rules.
class ArticleGridView : public QTableView
{
    Q_OBJECT
public:
    explicit ArticleGridView(QWidget *parent = nullptr);

signals:
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void deletePressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_anchorRow = -1;
};
