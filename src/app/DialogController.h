#pragma once

#include <QObject>
#include <QPointer>

class AccessoryPickerDialog;
class CatalogueSession;
class CommandRegistry;
class GridController;
class OptionsDialog;
class Prompter;
class QWidget;
class WindowAppearance;

// Opens the window's dialogs and carries what they change back: the ones that write to the
// database settle unsaved grid edits first and have the session read the catalogue again, the
// Options dialog's choices go to the window's appearance, the accessory picker writes into the
// rows that were selected when it opened.
class DialogController : public QObject
{
    Q_OBJECT
public:
    DialogController(QWidget &window, CatalogueSession &session, GridController &grid,
                     WindowAppearance &appearance, Prompter &prompter);

    void registerCommands(CommandRegistry &commands);
    // The field-length dialog for a field, with a new length proposed.
    void openFieldWidening(const QString &field, int length);

private:
    void openFieldEditDialog(const QString &column, const QString &size, const QString &description,
                             int proposedLength = 0);
    void openAccessoryPicker();
    void openChangePrefixDialog();
    void openNewGroupDialog(bool accessoryGroup);
    OptionsDialog *openOptionsDialog();
    void showAbout();

    QWidget &m_window;
    CatalogueSession &m_session;
    GridController &m_grid;
    WindowAppearance &m_appearance;
    Prompter &m_prompter;
    QPointer<AccessoryPickerDialog> m_picker;
};
