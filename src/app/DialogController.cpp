#include "app/DialogController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WindowAppearance.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AccessoryPickerDialog.h"
#include "dialogs/ChangePrefixDialog.h"
#include "dialogs/FieldEditDialog.h"
#include "dialogs/NewGroupDialog.h"
#include "dialogs/OptionsDialog.h"
#include "edit/PrefixChange.h"
#include "session/CatalogueSession.h"

DialogController::DialogController(QWidget &window, CatalogueSession &session, GridController &grid,
                                   WindowAppearance &appearance, Prompter &prompter)
    : QObject(&window), m_window(window), m_session(session), m_grid(grid),
      m_appearance(appearance), m_prompter(prompter)
{
    connect(&m_grid, &GridController::fieldEditRequested, this,
            [this](const QString &column, const QString &size, const QString &description) {
                openFieldEditDialog(column, size, description);
            });
    connect(&m_grid, &GridController::accessoryPickerRequested, this,
            &DialogController::openAccessoryPicker);
    connect(&m_session, &CatalogueSession::closed, this, [this] {
        // The picker reads the database that just went.
        if (m_picker)
            m_picker->close();
    });
}

void DialogController::registerCommands(CommandRegistry &commands)
{
    using C = CommandId;
    commands.add(C::Options, [this] { openOptionsDialog(); });
    commands.add(C::ChangePrefix, [this] { openChangePrefixDialog(); });
    commands.add(C::NewArticleGroup, [this] { openNewGroupDialog(false); });
    commands.add(C::NewAccessoryGroup, [this] { openNewGroupDialog(true); });
    commands.add(C::About, [this] { showAbout(); });
}

void DialogController::openFieldEditDialog(const QString &column, const QString &size,
                                           const QString &description, int proposedLength)
{
    // Reopening the database after the change would throw unsaved grid edits away.
    if (!m_session.isOpen() || !m_session.offerToSaveEdits() || !m_session.finishLoading())
        return;
    FieldEditDialog dialog(*m_session.database(), m_prompter, column, size, description, &m_window);
    if (proposedLength > 0)
        dialog.proposeLength(proposedLength);
    if (dialog.exec() == QDialog::Accepted)
        m_session.reopen(); // the grid's limits follow the new length
}

void DialogController::openFieldWidening(const QString &field, int length)
{
    for (const FieldDesc &desc : m_session.fieldList()) {
        if (desc.Name.compare(field, Qt::CaseInsensitive) == 0) {
            openFieldEditDialog(desc.Name, QString::number(desc.Length), desc.Description, length);
            return;
        }
    }
}

void DialogController::openAccessoryPicker()
{
    if (!m_session.isOpen())
        return;
    // What the user typed in the cell counts first; the picked name then replaces it in the
    // rows that were selected when the picker opened.
    m_grid.commitTypedText();
    const ArticleGrid::CellRange target = m_session.grid().selection();
    if (m_picker)
        m_picker->close();
    m_picker = new AccessoryPickerDialog(*m_session.database(), m_prompter, &m_window);
    connect(m_picker, &AccessoryPickerDialog::chosen, this,
            [this, target](const QString &name) { m_grid.writeAccessoryGroup(target, name); });
    connect(m_picker, &AccessoryPickerDialog::optionsRequested, this, [this] {
        // A prefix chosen there fills the picker's list again.
        OptionsDialog *options = openOptionsDialog();
        connect(options, &OptionsDialog::accessoryPrefixChosen, m_picker.data(),
                &AccessoryPickerDialog::fillList);
    });
    m_picker->present();
}

void DialogController::openChangePrefixDialog()
{
    // The prefix dialog writes to the database at once; pending edits are settled first.
    if (!m_session.isOpen() || !m_session.offerToSaveEdits() || !m_session.finishLoading())
        return;
    ChangePrefixDialog dialog(*m_session.database(), m_prompter, &m_window);
    connect(&dialog, &ChangePrefixDialog::prefixChanged, this,
            [this](const QString &oldPrefix, const QString &newPrefix) {
                // The shown group goes on under its new block name.
                m_session.databaseChanged(
                    PrefixChange::renamedSelection(m_session.selection(), oldPrefix, newPrefix));
            });
    dialog.exec();
}

void DialogController::openNewGroupDialog(bool accessoryGroup)
{
    // The dialog writes to the database at once; pending edits are settled first.
    if (!m_session.isOpen() || !m_session.offerToSaveEdits() || !m_session.finishLoading())
        return;
    NewGroupDialog dialog(*m_session.database(), m_prompter, accessoryGroup, &m_window);
    dialog.exec(); // stays open for several groups
    if (dialog.anyGroupAdded())
        m_session.databaseChanged();
}

OptionsDialog *DialogController::openOptionsDialog()
{
    // Modal without a nested event loop; it deletes itself when closed.
    auto *dialog = new OptionsDialog(m_prompter, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &OptionsDialog::treeColourChosen, &m_appearance,
            &WindowAppearance::setTreeColour);
    connect(dialog, &OptionsDialog::gridColourChosen, &m_appearance,
            &WindowAppearance::setGridColour);
    connect(dialog, &OptionsDialog::fontSizeChosen, &m_appearance, &WindowAppearance::setFontSize);
    dialog->open();
    return dialog;
}

void DialogController::showAbout()
{
    AboutDialog dialog(&m_window);
    dialog.exec();
}
