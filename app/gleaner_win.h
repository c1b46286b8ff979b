// The importer's shell: instance and main window, the wizard step host, HTML
// help at numbered topics, the class pictures with their SCBitmap cells and
// the busy box.
#pragma once
#include <windows.h>

#include "core/hostcallbacks.h"
#include "resources/helptopics.h"

HINSTANCE GetProgramInstance();
void SetProgramInstance(HINSTANCE instance);
HWND GetMainWindow();
HWND GetCurrentStepWindow();
void SetCurrentStepWindow(HWND step);

LRESULT CALLBACK GleanerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int InitMainWindow(HWND mainWindow);
// Registers class "Gleaner" (extended registration first, the plain one as a
// fall-back); 0 when both fail.
ATOM RegisterGleanerClass(HINSTANCE instance);
// Registers the custom control classes in the start-up order.
void RegisterControlClasses(HINSTANCE instance);

// HTML help from "hhctrl.ocx", export ordinal 14 (HtmlHelpA).
void LoadHtmlHelp();
void UnloadHtmlHelp();
int HtmlHelpAvailable();
// ShowHelpTopic (core/hostcallbacks.h) opens "Gleaner.chm" at a context id;
// it is the help call-back of the shared dialogs.
// The table of contents, then the topic; the importer's own topics.
int ShowGleanerHelpTopic(int topicId);

// Class pictures "bin/%02d.bmp" (or "bin/%02dd.bmp" on palette displays).
void LoadClassBitmaps(HWND window);
void FreeClassBitmaps();
ATOM RegisterSCBitmapClass(HINSTANCE instance);
LRESULT CALLBACK SCBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK ProcessingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The modeless busy box shown while a long pass runs.
HWND ShowProcessingBox(HWND owner);
void CloseProcessingBox(HWND box);

// Wizard step 1.
INT_PTR CALLBACK InitDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitImportStep(HWND step);
// Destroys the current step and shows step 1 again.
HWND ShowImportStepOne(HWND mainWindow);
// What every later step page does alike: Cancel goes back to step 1, Help
// shows the step's topic, closing the window destroys the page. TRUE when
// the message was one of them.
INT_PTR HandleWizardStepEnding(HWND step, UINT message, WPARAM wParam, int helpTopic);
