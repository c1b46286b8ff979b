// The preview file "gleaner.bin" in the user data folder.
#pragma once

// Deletes "gleaner.bin"; 1 when it is gone (or was never there).
int DeletePreviewFile();
