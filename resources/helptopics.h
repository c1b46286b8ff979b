// Help topic ids, shared by the resource scripts and C++. The importer's own
// topics (IDH_READ_FIRST .. IDH_FORMATS) are the [MAP] section of its help
// file "Gleaner.chm" (help/gleaner.hhp, same names); the others are the
// topics the suite's shared dialogs ask their host to open.
#pragma once

// The importer's help file
#define IDH_READ_FIRST 10001  // main window, "Read This First"
#define IDH_STEP1      10002  // wizard step 1, InitDlg
#define IDH_STEP2      10003  // wizard step 2, DesPrepDlg
#define IDH_STEP3      10004  // wizard step 3, DataLinkDlg
#define IDH_STEP4      10005  // wizard step 4 and the entry detail view
#define IDH_FORMATS    10006  // format editor, ConfigDlg

// Object picker
#define IDH_DESIGNATIONS          10420  // Search page, "About Designations"
#define IDH_REQUESTOR_SEARCH      10450  // Help on the Search page
#define IDH_REQUESTOR_BROWSE      10451  // Help on the Browse page
#define IDH_REQUESTOR_COORDINATES 10452  // Help on the Enter Coordinates page
#define IDH_REQUESTOR             16515  // Help of the modal frame

// Site and observer dialogs
#define IDH_SITES         16013  // Observing Sites (LocDlgSE, LocDlgPro)
#define IDH_SITE_EDIT     18380  // Edit Observing Site
#define IDH_PLACES        16014  // Add Location (the places gazetteer)
#define IDH_SITE_COORDINATES 16015  // Define New Location
#define IDH_GPS           10454  // Get GPS Location
#define IDH_DAYLIGHT_RULES 16023  // Daylight Saving Rules
#define IDH_SKY_BRIGHTNESS 10459  // Light Pollution -- Sky Brightness
#define IDH_HORIZON       10457  // Create Obstructed Horizon
#define IDH_HORIZON_INSTRUCTIONS 10458  // recording a horizon with a telescope
#define IDH_OBSERVERS     18190  // Observers
#define IDH_OBSERVER_EDIT 18370  // Edit Observer

// Instrument dialogs
#define IDH_TELESCOPES          16016  // ScopeDlg, ScopeDlgPro
#define IDH_TELESCOPE_EDIT      18390  // ScopeEditDlg, ScopeEditDlgPro
#define IDH_BINOCULARS          16018  // BinocsDlg
#define IDH_BINOCULARS_EDIT     18400  // BinocsEditDlg
#define IDH_EYEPIECE_POOL       16017  // EyepDlg
#define IDH_CAMERA_POOL         10462  // CamDlg
#define IDH_EYEPIECE_PROJECTION 10463  // CamEProjDlg
#define IDH_AFOCAL_PROJECTION   10464  // CamAfocalDlg
#define IDH_FILTER_POOL         10465  // CamFilterDlg
#define IDH_LENS_POOL           10466  // CamLensDlg
#define IDH_EYEPIECE_EDIT       19510  // EditEyepDlg
#define IDH_FILTER_EDIT         10467  // EditFilterDlg
#define IDH_LENS_EDIT           10468  // EditLensDlg
#define IDH_CAMERA_EDIT         10469  // EditCamDlg
#define IDH_ND_FILTER_EDIT      10471  // EditNDFilterDlg
#define IDH_STANDARD_TELESCOPES 10472  // ScopeSelectDlg
#define IDH_INSTRUMENT_DEFAULTS 19530  // InstDefaultDlg
#define IDH_TELESCOPE_REPORT    18260  // ReportEPDlg
#define IDH_PRINT_REPORT        18450  // PRINTINSTDLG
