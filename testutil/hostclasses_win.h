// The host program's own window classes that the shared dialogs' templates
// name (the "SCBitmap" class-picture cell), registered for tests that show
// those dialogs outside the program, with the class pictures loaded.
#pragma once
#include <windows.h>

namespace testutil {

// Registers the host's classes for the module whose templates are used and
// loads the class pictures from the installation folder (the pictures'
// "bin" folder lies below it); an empty folder loads none.
void RegisterHostClasses(HINSTANCE module, const char *installFolder);

}  // namespace testutil
