#pragma once

#include "dialogs/AccessoryPreviewDialog.h"
#include "edit/AccessoryPick.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <exception>

class Database;
class Prompter;
class QTableWidget;

// "frmSelAccessGroup": the accessory groups of the working database, those whose description
// begins with the accessory prefix. A single click shows a group's first articles beside the
// list; a double click (or Enter) chooses the group and closes the picker. It is not modal:
// losing the focus while no preview is open closes it without a choice, which is how the user
// cancels. Going through the program's menus to a dialog (Options, to set the prefix) is no
// cancel: the picker waits, and lists the groups again when that dialog has closed.
class AccessoryPickerDialog : public QDialog
{
    Q_OBJECT

public:
    AccessoryPickerDialog(Database &db, Prompter &prompter, QWidget *parent = nullptr);

    // Fills the list. With no group it tells the user, asks for the Options dialog
    // (optionsRequested) and fills the list once more with the prefix stored by then. Then it
    // clears the choice and places and colours the window. False when the list could not be
    // read; the failure has been reported.
    bool load();
    // load(), then shows the picker without waiting; it deletes itself when it closes. When
    // loading fails it deletes itself at once and answers false.
    bool present();

    const QList<AccessoryPick::Group> &groups() const { return m_groups; }
    const QString &chosenBlockName() const { return m_chosen; }
    // True while the preview is open: losing the focus to it does not close the picker.
    bool bChildActive() const { return m_childActive; }
    AccessoryPreviewDialog *preview() const { return m_preview; }

    // The top of a list row (global): a preview starts level with it.
    int rowTop(int row) const;

    // Every way of closing ends here: the preview closes once.
    void done(int result) override;

public slots:
    // Reads the prefix again and fills the list, e.g. after the Options dialog stored another.
    void fillList();
    // The single click: opens the preview of the group in list row `row` (from 0), if it has
    // articles. A preview already open closes first.
    void previewGroup(int row);
    // The double click: takes the group's block name as the choice, announces it unless it is
    // empty, and closes. Nothing happens while the list is empty.
    void chooseGroup(int row);

signals:
    // The window writes the name into the rows and column it recorded when it opened the
    // picker, and enters its edited state.
    void chosen(const QString &blockName);
    // No group matched the prefix: the window opens its Options dialog.
    void optionsRequested();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fill();
    void closePreview();
    void previewClosed(AccessoryPreviewDialog *preview);
    void keepOnScreen();
    // After the picker lost the focus: where it went decides whether the user cancelled.
    void settleFocus();
    // Waits until `window` (a menu or a modal dialog of the program) is hidden.
    void waitFor(QWidget *window, bool modal);
    void awaitedHidden();
    // Back from a dialog: the prefix may be another now.
    void returned();
    void reportFailure(const QString &procedure, const std::exception &error);

    Database &m_db;
    Prompter &m_prompter;
    QTableWidget *m_list = nullptr;
    QList<AccessoryPick::Group> m_groups;
    QString m_chosen;
    QPointer<AccessoryPreviewDialog> m_preview;
    bool m_childActive = false;
    bool m_closing = false;
    bool m_reporting = false; // an error box takes the focus without meaning "cancel"
    // A click in the main window's menu bar deactivates the picker a moment before the menu
    // opens; the decision waits that long.
    QTimer m_settle;
    QPointer<QWidget> m_awaited;
    bool m_awaitedModal = false;
};
