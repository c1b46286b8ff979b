// The dialog-settings store "dds.bin" made at start-up where the user folder
// has none, so that what the dialogs remember (the picker's recent objects,
// window places, choices) is kept from one run to the next.
#pragma once

// 1 when "dds.bin" is there afterwards: found, or made holding only the end
// marker. An existing file is never replaced, even one that cannot be read
// (it may be the suite's and still hold settings another program reads);
// 0 when it was missing and could not be made.
int EnsureDialogSettingsStore();
