#include "app/SessionCommands.h"

#include "app/CommandRegistry.h"
#include "core/RecentFiles.h"
#include "session/CatalogueSession.h"

#include <QAction>

void registerSessionCommands(CommandRegistry &commands, CatalogueSession &session)
{
    using C = CommandId;
    commands.add(C::OpenMDB, [&session] { session.mnuOpenMDB(); });
    commands.add(C::SaveAs, [&session] { session.mnuSaveAs(); });
    commands.add(C::CloseMDB, [&session] { session.mnuCloseMDB(); });
    commands.add(C::OpenTDS, [&session] { session.mnuOpenTDS(); });
    commands.add(C::SaveTDS, [&session] { session.mnuSaveTDS(); });
    commands.add(C::Save, [&session] { session.mnuSave(); });
    commands.add(C::Ignore, [&session] { session.ignoreChanges(); });
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        const QAction *act = commands.action(recentFileCommand(slot));
        commands.add(recentFileCommand(slot),
                     [&session, act] { session.OpenMDB(act->data().toString()); });
    }
}
