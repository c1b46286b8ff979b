// Making the dialog-settings store when the user folder has none.
#include "app/settingsstore.h"

#include "core/dlgsettings.h"
#include "core/userfolder.h"

int EnsureDialogSettingsStore() {
    if (UserDataFileExists("dds.bin")) return 1;
    // ResetDialogSettings writes the empty chain through the crash-safe layer.
    return ResetDialogSettings() == 1 ? 1 : 0;
}
