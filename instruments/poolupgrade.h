// Bringing older pools up to the current layouts. The filter pool of 93-byte
// records is rewritten under another path with 221-byte records. The
// unstamped first generation (4-byte header) gets the stamp and a 16-bit depth
// in every record; a pool stamped before 3.0h (3008) gets its guider fields,
// which it did not have, cleared. The pool is rewritten beside itself and
// replaced whole, so a failure leaves the old file as it was.
#pragma once

// 1 when camera.bin is stamped already or was converted; 0 when it cannot be
// read or the new copy cannot be written.
int StampCameraFile();
// 1 when camera.bin is stamped 3.0h or later or was converted; 0 otherwise.
int UpgradeCameraFileGuider();

// Writes a filter pool of 221-byte records at newPath (through the crash-safe
// layer) from the old pool of 93-byte records at oldPath: the two int16 of
// the head, then each record with its new 128 bytes zero. 1 when every record
// was written; 0 otherwise (the old file is never touched; a count the file
// does not hold is refused).
int UpgradeFilterFile(const char *oldPath, const char *newPath);

// Brings "filters.bin" of the user data folder up to date before it is
// opened: a pool whose size is that of its count of 93-byte records is
// rewritten in place through UpgradeFilterFile. 1 when the pool is current,
// absent or was upgraded; 0 when it could not be, or when its size fits
// neither layout (refused, with a line in the diagnostic file).
int UpgradeFilterPool();
