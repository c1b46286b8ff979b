// Bringing an older camera pool up to the current layout in place: the
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
