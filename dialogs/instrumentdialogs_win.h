// The Win32 instrument dialogs: the working state one run of a dialog family
// shares, the launchers of the choice, telescope, binocular and pool dialogs,
// their dialog procedures, and the small display helpers of their fields.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "instruments/instrumentchoice.h"
#include "instruments/instrumentrecord.h"
#include "instruments/poolrules.h"

// Working data of one run of an instrument dialog family (choice, telescope
// with its pool dialogs, binoculars). The record is 330,152 bytes: the state
// is always allocated.
struct InstrumentDialogState {
    HINSTANCE instance;
    HWND dialog;
    FILE *store;                  // the open instr.bin, or none
    InstrumentRecord record;      // the working record
    int enterString;              // choice dialog: "Enter String" offered
    int count;                    // records in the open store
    int selected;                 // store index of the working record, -1 none
    int currentEntry;             // eyepiece or camera last added, -1 none
    int camerasOnly;              // choice dialog
    int poolChoice;               // chosen pool line (eyepieces) or pool id, -1 none
    std::vector<uint16_t> listMap;  // store index of each instrument list line
    int busy;                     // filling controls: edit notices ignored
    int backupTaken;              // instr.bak written at opening
    int createdAtOpening;         // instr.bin did not exist when the dialog opened
    int stored;                   // edit dialog: a record of that name is stored
};

// The state of the telescope family (also read by the pool dialogs).
InstrumentDialogState *GetScopeDialogState();

// ---- launchers ---------------------------------------------------------------
int ChooseInstrument(HWND owner, HINSTANCE instance, InstrumentRecord *record, int mode);
int EnterInstrumentName(HWND owner, HINSTANCE instance, char *name);
void ShowInstrumentMenu(InstrumentMenu *menu, HWND owner, int mode);
// The telescope and binocular lists: 1 closed with Done, 0 cancelled (the
// store then holds what it held when the dialog opened) or never opened.
int RunScopeDialog(HWND owner, HINSTANCE instance);
int RunScopeEditDialog(HWND owner, HINSTANCE instance, InstrumentRecord *record);
int RunBinocsDialog(HWND owner, HINSTANCE instance);
int RunBinocsEditDialog(HWND owner, HINSTANCE instance, InstrumentRecord *record);

// Runs a modal dialog whose template is read from the instance's resources;
// its controls are made for the program's own module, where the custom
// control classes are registered. -1 when the template is missing.
INT_PTR RunInstrumentDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                            LPARAM parameter = 0);
// The instance whose templates the last dialog was made from: the nested
// dialogs of a pool dialog opened without a telescope dialog take theirs
// from it.
HINSTANCE GetInstrumentDialogInstance();

// ---- dialog procedures -------------------------------------------------------
INT_PTR CALLBACK InstDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK InstEntryDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ScopeDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ScopeEditDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK InstDefaultDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ScopeSelectDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK BinocsDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK BinocsEditDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EyepDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CamFilterDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CamLensDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EditEyepDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FOVDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EditFilterDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EditNDFilterDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FilterTypeDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EditLensDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK EditCamDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CamDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CamEProjDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CamAfocalDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK AddFocalDlgProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TelescopeListWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK BinocularListWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PoolListKeyWndProc(HWND, UINT, WPARAM, LPARAM);

// InstDefaultDlg's shared values: the kind offered (set by the caller), the
// copy choice and the template instrument id (-1 the default charts).
extern int g_offeredInstrumentKind;
extern int g_copyChartChoice;
extern int g_templateInstrumentId;

// The pool dialogs' shared values: the assigned ids the caller rebuilds from,
// the working filter and lens of the filter and lens editors, the measured
// apparent field, and the flag set while an editor fills its fields.
extern AssignedIdList AssignedEyepieceIds;
extern AssignedIdList AssignedFilterIds;
extern AssignedIdList AssignedLensIds;
extern FilterRecord WorkingFilter;
extern LensRecord WorkingLens;
extern double MeasuredApparentField;
extern int FillingDialogFields;
// The camera EditCamDlg edits (loaded from the camera pool by its caller,
// stored back after OK) and its curve choice: 0 "Manual Entry", k the k-th
// curve of ccd_Q.dat.
extern CameraEntry WorkingCamera;
extern int CameraCurveChoice;
// EditCamDlg's field helpers.
void ShowQuantumEfficiencyValues(HWND dialog, const double values[13], int curveChoice);
void EnableCameraKindFields(HWND dialog, int kind);
void EnableGuiderFields(HWND dialog, int on);
// The camera whose filters and lenses CamFilterDlg and CamLensDlg assign.
extern CameraEntry *g_currentCamera;
// The property under which a pool list keeps its own procedure while
// PoolListKeyWndProc is installed on it.
extern const char kPoolListOldProc[];
// The camera dialog's values kept between uses: the telescope camera chosen
// in its assigned list (-1 none), the kind its pool list shows (0 CCD,
// 1 digital, 2 video), and the camera and filter (-1 none) chosen for the
// optimum projection distance.
extern int CurrentCameraIndex;
extern int CameraPoolKind;
extern int ProjectionCameraChoice;
extern int ProjectionFilterChoice;

// ---- instrument list dialogs (ScopeDlg, BinocsDlg) ---------------------------
// Both edit every instrument of one kind in instr.bin in place, through a list
// box whose line i holds the store record listMap[i].

// The list of one such dialog: its list box, the kind it lists, and how the
// dialog enables its controls and shows the working record (skip: the field
// being typed in, 0 none).
struct InstrumentListView {
    int listId;
    uint8_t kind;
    void (*enableControls)(HWND dialog, bool enable);
    void (*show)(HWND dialog, InstrumentDialogState *s, int skip);
};

// A new state with nothing selected (null when it cannot be allocated).
InstrumentDialogState *NewInstrumentDialogState(HINSTANCE instance);
void CloseInstrumentStore(InstrumentDialogState *s);
// Writes the working record back over the selected store record.
void WriteBackInstrument(InstrumentDialogState *s);
// At opening: takes instr.bak, opens (or creates) instr.bin and warns when no
// backup could be taken. 0 when the store cannot be opened (WM_CLOSE posted).
int OpenInstrumentStoreForEditing(HWND dialog, InstrumentDialogState *s);
// Cancel: closes the store and puts instr.bak back (or removes an instr.bin
// the dialog created), then ends the dialog with 0.
void CancelInstrumentListDialog(HWND dialog, InstrumentDialogState *s);
// Cancel (CancelInstrumentListDialog) and Help of a list dialog; 1 when the
// command was one of them.
int HandleInstrumentListButton(HWND dialog, InstrumentDialogState *s, int id, int helpTopic);
// OK of a list dialog once the working record is written back: charts for the
// instruments without one, then the store closed. 0 when the user cancelled
// the chart question (the dialog stays open).
int KeepInstrumentList(HWND dialog, InstrumentDialogState *s);
// WM_CLOSE (asks, then cancels as Cancel does; 1) and WM_DESTROY (forgets
// the list and closes the store; 0) of a list dialog; 0 for other messages.
int HandleInstrumentListEnding(HWND dialog, InstrumentDialogState *s, UINT message);
// Runs a list dialog on a new state that *active points to while it is open
// (0 at once when one is open already); 1 when it ended with OK.
int RunInstrumentListDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                            InstrumentDialogState **active);
// Runs a one-instrument dialog on a copy of the record in a new state that
// *active points to while it is open; the record takes the copy back when
// the dialog ends above 0. The dialog's result, 0 when it was not run.
INT_PTR RunInstrumentEditDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                                InstrumentDialogState **active, InstrumentRecord *record);
// Gives instruments without a chart one, asking InstDefaultDlg for the model
// when there are such; 0 when the user cancelled that question.
int SyncChartsWithDefaults(HWND dialog, InstrumentDialogState *s);
// Lists the instruments of the view's kind through a scratch record (the
// working record keeps the selected one); nothing is selected until a line is
// read again. The number listed, -1 when memory ran out (WM_CLOSE posted).
int FillInstrumentList(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view);
// The list line of the selected record, -1 none.
int LineOfSelectedInstrument(const InstrumentDialogState *s);
// Reads the record of a line into the working record and shows it; a line
// outside the list selects nothing and disables the controls.
void SelectInstrumentLine(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view, int line);
// A selection change or double click (which also presses OK) in the list.
void OnInstrumentListNotice(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view, int code);
// The selected line shows the working record's name again.
void ShowRenamedInstrument(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view);
// Appends the working record as a new instrument and selects its line.
void AppendInstrumentAndSelect(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view);
// Deletes the selected instrument and selects the line that takes its place
// (the last when it was the last).
void DeleteSelectedInstrument(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view);
// List boxes subclassed for their keys (the instrument and pool lists):
// installs the procedure, keeping the old one under the property name.
void SubclassListBox(HWND list, WNDPROC procedure, const char *oldProcProperty);
// The subclassed list's keys: Delete sends the dialog the delete command,
// Escape goes to the dialog; everything else to the old procedure.
LRESULT ListBoxKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, const char *oldProcProperty,
                    int deleteCommand);

// ---- field helpers -----------------------------------------------------------
void SetItemTextOneDecimal(HWND dialog, int item, double value);
void SetItemTextTwoDecimals(HWND dialog, int item, double value);
void SetItemTextInteger(HWND dialog, int item, int value);
int ReadPositiveNumberFromWindow(HWND control, double *value);
void ShowLengthInUnit(HWND dialog, int item, double mm, int unit);
void ShowLengthUnitLabel(HWND dialog, int item, int unit);
void ShowAngleWithUnit(HWND dialog, int item, double value, int unit);
void ShowMountingText(HWND dialog, int item, int mounting);
void ShowLeftRightText(HWND dialog, int item, int flag);
void ShowUpDownText(HWND dialog, int item, int flag);
// instr.bin opened as OpenInstrumentFile does, created first when there is
// none; null when it can be neither opened nor created.
FILE *OpenOrCreateInstrumentFile(int32_t *count);
// "Nightjar Message" boxes.
int InstrumentMessage(HWND owner, const char *text, UINT type);
// Runs InstDefaultDlg for the kind; 0 when the user cancelled, else 1 with
// g_templateInstrumentId set.
int AskChartDefaults(HWND owner, HINSTANCE instance, int kind);
