// Finding the test's own windows: only top-level windows of this process are
// looked at, never those of other programs or of other tests running at the
// same time.
#pragma once
#include <windows.h>

namespace testutil {

// The first visible or hidden top-level window of this process whose class
// (when className is not null) and title (when title is not null) match, as
// FindWindowA would name them; null when there is none.
HWND FindOwnWindow(const char *className, const char *title);

}  // namespace testutil
