#pragma once

#include "edit/AccessoryPick.h"

#include <QDialog>
#include <QMargins>
#include <QRect>

class QTableWidget;

// "frmPreview": the first articles of an accessory group, shown beside the picker after a single
// click. It is not modal and closes itself as soon as it loses the focus.
class AccessoryPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    AccessoryPreviewDialog(const QString &blockName, const AccessoryPick::Preview &preview,
                           QWidget *parent = nullptr);

    // Places the window beside the picker (`picker` is its frame, global) and never over it:
    // to its right, else to its left, else below, else above, as far as the screen's free area
    // allows; its top level with `top` where it can be. `decoration` is the frame the window
    // manager puts around a window. Only a screen too small for both windows makes them overlap.
    void placeBeside(const QRect &picker, int top, const QMargins &decoration = {});

protected:
    bool event(QEvent *event) override;

private:
    QTableWidget *m_grid = nullptr;
};
