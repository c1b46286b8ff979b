// The class-flag table of the class pictures: an object's category bits give
// the 1-based picture index shown in the SCBitmap cells.
#pragma once

const int kClassPictureSlots = 21;  // pictures 1..21; index 22 has none

// 1..22 for a flag in the table, 0 for any other flag.
int GetClassBitmapIndex(unsigned flag);
// 1 when picture index has a picture file: 1..21 except 2 (Sun, Moon,
// planets, comets and minor planets together, never loaded).
int ClassPictureIsDrawn(int index);
