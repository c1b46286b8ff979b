// Choosing one instrument: the lines of the instrument list and of the popup
// menu (the naked eye first, then the stored instruments in store order), the
// table behind the popup menu and the command it answers with, the default
// instrument, and the one-line descriptions of an instrument and of a
// camera's field. The Win32 list dialog and menu are in instrumentchoice_win.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "instruments/instrumentrecord.h"

const int kInstrumentMenuSize = 100;
const int kInstrumentMenuFirstCommand = 2824;
const double kNakedEyePupilMm = 6.5;
// Item data of the "Naked Eye" line (and its menu entry).
const int32_t kNakedEyeItem = -1;

// The table behind the popup menu: menu item i has the command 2824 + i and
// the instrument id ids[i] (-1 the naked eye).
struct InstrumentMenu {
    int32_t ids[kInstrumentMenuSize];
    int32_t count;
};

// One line of the choice list or the menu.
struct InstrumentChoiceLine {
    std::string name;
    int32_t itemData;  // instrument id, or kNakedEyeItem
};

void ClearInstrumentMenu(InstrumentMenu *menu);

// The list of the choice dialog: "Naked Eye" (unless camerasOnly), then each
// of the store's records (only those with a camera on the main optics when
// camerasOnly). *selectLine gets the line whose instrument is workingId (the
// naked eye for id 0), or -1. 1, or 0 when the store could not be read.
int BuildInstrumentChoiceList(FILE *store, int count, int workingId, int camerasOnly,
                              std::vector<InstrumentChoiceLine> *lines, int *selectLine);

// The entries of the popup menu in mode 0 (all), 1 (binoculars and
// instruments whose main optics hold an eyepiece) or 2 (main optics with a
// camera); modes 0 and 1 begin with "Naked Eye". At most 100 entries: the
// table is never overrun. The menu table is filled in step with the lines.
int BuildInstrumentMenu(FILE *store, int count, int mode, InstrumentMenu *menu,
                        std::vector<InstrumentChoiceLine> *lines);

// The record a list line or menu entry stands for: kNakedEyeItem gives the
// naked eye (6.5 mm pupil, id 0), any other value the stored record of that id
// (the store is opened and closed here). 1 loaded; 0 when the id is not in the
// store (the record is then unchanged).
int LoadInstrumentChoice(int32_t itemData, InstrumentRecord *record);

// Answers a WM_COMMAND of the popup menu: non-zero when the command (low 16
// bits of wParam) is one of the table's and the record was filled (for a
// stored instrument its store index + 1); 0 otherwise. The table is emptied
// once a command of the menu was taken. window, message and lParam are not read.
int TakeInstrumentMenuChoice(InstrumentMenu *menu, void *window, unsigned message,
                             uintptr_t wParam, intptr_t lParam, InstrumentRecord *record);

// The first stored instrument; without one, the naked eye.
void LoadDefaultInstrument(InstrumentRecord *record);

// "8 inch f/10.0 Reflector, a little dirty", "Binoculars with 7.1° field"
// (degree sign 0xB0) or "The unaided eyes of the observer". size >= 1.
void DescribeInstrument(const InstrumentRecord *record, char *text, int size);
// "%d x %d pixels, <size> FOV", or "" without a field or pixel counts.
void DescribeCameraField(const CameraEntry *camera, char *text, int size);
// "very clean" .. "filthy" for an optical condition 0..1.
const char *GetConditionName(double condition);
