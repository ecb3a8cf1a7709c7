#pragma once

#include "edit/AccessoryPick.h"

#include <QDialog>
#include <QPoint>

class QTableWidget;

// "frmPreview": the first articles of an accessory group, shown beside the picker after a single
// click. It is not modal and closes itself as soon as it loses the focus.
class AccessoryPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    AccessoryPreviewDialog(const QString &blockName, const AccessoryPick::Preview &preview,
                           QWidget *parent = nullptr);

    // Puts the top-left corner at `anchor` (global), moved back onto the screen where the
    // window would stick out.
    void placeAt(QPoint anchor);

protected:
    bool event(QEvent *event) override;

private:
    QTableWidget *m_grid = nullptr;
};
