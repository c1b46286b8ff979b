// Registration of the suite's own control classes that dialog templates name:
// link labels, etched frames, invisible click areas, flat header buttons, the
// step progress bar, the two-part table and the Symbol-font label. Each
// function registers its class for the given instance and returns the class
// atom (0 on failure); RegisterHeaderButtonClass returns 1 or 0. The picture
// classes are registered by the functions of ui/picturectl.
#pragma once
#include <cstdint>

struct HINSTANCE__;  // the module handle of <windows.h>

unsigned short RegisterHyperTextClass(HINSTANCE__ *instance);
unsigned short RegisterSymbolTextClass(HINSTANCE__ *instance);
unsigned short RegisterCShadeClass(HINSTANCE__ *instance);
unsigned short RegisterTouchClass(HINSTANCE__ *instance);
unsigned short RegisterHeaderButtonClass(HINSTANCE__ *instance);
unsigned short RegisterProgressIndicatorClass(HINSTANCE__ *instance);
unsigned short RegisterTableClass(HINSTANCE__ *instance);

// Link colour (a colour value 0x00BBGGRR, default blue) and underline flag
// (default 0) shared by every HyperText label of the process.
void SetHyperTextLinkStyle(uint32_t colour, int underline);

// Table: the parent's sort call-back, handed the parent's array of row
// indexes (message 1545), the number of rows and the clicked header column.
// While a column other than 0 is the sort column, row i of the table shows
// list item sortData[i].
typedef void (*TableSortCallback)(int32_t *sortData, int rowCount, int column);
