// Control ids of the instrument dialogs (instruments.rc). The telescope
// fields (SCOPE_FIELDS), binocular fields (BINOC_FIELDS) and pool dialog body
// (POOL_DIALOG_BODY) are shared by several templates.
// Values are fixed: the templates, the code and stored dialog settings use
// them. Shared by the resource scripts and C++.
#pragma once

// InstDlg
#define IDC_INSTRUMENT_LIST 6046  // instruments

// InstEntryDlg
#define IDC_INSTRUMENT_NAME_ENTRY 6075  // name of the instrument

// telescope fields (ScopeDlg, ScopeDlgPro, ScopeEditDlg, ScopeEditDlgPro)
#define IDC_SCOPE_NAME                 6008  // name
#define IDC_SCOPE_TYPE                 6019  // telescope type list
#define IDC_SCOPE_APERTURE             6015  // aperture
#define IDC_SCOPE_APERTURE_UNIT        6037  // link: aperture unit
#define IDC_SCOPE_FOCAL_LENGTH         6016  // focal length
#define IDC_SCOPE_FOCAL_LENGTH_UNIT    6036  // link: focal length unit
#define IDC_SCOPE_FOCAL_RATIO          6017  // f/ratio
#define IDC_SCOPE_LEFT_RIGHT           6035  // link: image left/right
#define IDC_SCOPE_UP_DOWN              6034  // link: image up/down
#define IDC_SCOPE_MOUNT                6039  // link: mounting
#define IDC_SCOPE_OPTICS               6018  // optics condition list
#define IDC_SCOPE_PICTURE              6020  // picture "scope"
#define IDC_EYEPIECE_PICTURE           6021  // picture of an eyepiece (the eyepiece editor too)
#define IDC_SCOPE_EYEPIECES            6032  // Add/Edit Eyepieces
#define IDC_SCOPE_REFLEX_SIGHT         6007  // check: reflex sight
#define IDC_SCOPE_BULLSEYE             6013  // radio: bullseye sight
#define IDC_SCOPE_CROSS_HAIRS          6014  // radio: sight with cross hairs
#define IDC_SCOPE_RING1                6010  // first sight ring (degrees); the rings are consecutive
#define IDC_SCOPE_RING2                6011  // second sight ring
#define IDC_SCOPE_RING3                6012  // third sight ring
#define IDC_SCOPE_FINDER               6009  // check: magnifying finder
#define IDC_SCOPE_FINDER_MAGNIFICATION 6006  // finder magnification
#define IDC_SCOPE_FINDER_APERTURE      6005  // finder aperture
#define IDC_SCOPE_FINDER_LEFT_RIGHT    6002  // link: finder image left/right
#define IDC_SCOPE_FINDER_UP_DOWN       6001  // link: finder image up/down
#define IDC_SCOPE_FINDER_FIELD         6003  // finder field of view
#define IDC_SCOPE_FINDER_LIMIT         6000  // finder magnitude limit text
#define IDC_SCOPE_FINDER_PICTURE       6004  // picture "finder"

// ScopeDlg, ScopeDlgPro
#define IDC_SCOPE_LIST           6028  // telescopes
#define IDC_SCOPE_MOVE           6040  // up-down control moving the selected telescope
#define IDC_SCOPE_NEW            6026  // New
#define IDC_SCOPE_DELETE         6025  // Delete
#define IDC_SCOPE_REPORT         6038  // Report (the edit dialogs too)
#define IDC_SCOPE_CAMERAS        6122  // Add/Edit Cameras (professional forms)
#define IDC_SCOPE_CAMERA_PICTURE 6121  // picture "ccd_camera" (professional forms)

// ScopeEditDlg, ScopeEditDlgPro
#define IDC_SCOPE_SAVE 6023  // Save in Database

// InstDefaultDlg
#define IDC_INSTDEFAULT_USE_DEFAULTS 6047  // radio: use the default chart settings
#define IDC_INSTDEFAULT_COPY         6048  // radio: copy the chart settings of an instrument
#define IDC_INSTDEFAULT_LIST         6046  // instruments to copy from

// ScopeSelectDlg
#define IDC_SCOPESELECT_LIST 6078  // standard telescopes

// binocular fields (BinocsDlg, BinocsEditDlg)
#define IDC_BINOC_NAME          6056  // name
#define IDC_BINOC_MAGNIFICATION 6061  // magnification
#define IDC_BINOC_APERTURE      6058  // aperture
#define IDC_BINOC_FIELD         6060  // field of view
#define IDC_BINOC_LEFT_RIGHT    6064  // link: image left/right
#define IDC_BINOC_UP_DOWN       6063  // link: image up/down
#define IDC_BINOC_DAWES         6055  // Dawes limit text
#define IDC_BINOC_LIMIT         6054  // limiting magnitude text
#define IDC_BINOC_PICTURE       6059  // picture "binocs"

// BinocsDlg
#define IDC_BINOC_LIST   6057  // binoculars
#define IDC_BINOC_NEW    6052  // New
#define IDC_BINOC_DELETE 6051  // Delete

// pool dialogs (EyepDlg, CamFilterDlg, CamLensDlg)
#define IDC_POOL_LIST     6092  // the pool
#define IDC_POOL_ASSIGN   6085  // Assign to Scope / Camera
#define IDC_POOL_EDIT     6086  // Edit
#define IDC_POOL_DELETE   6091  // Delete (from the pool)
#define IDC_POOL_NEW      6102  // New
#define IDC_POOL_ASSIGNED 6090  // assigned items
#define IDC_POOL_MOVE     6095  // up-down control moving the selected assigned item
#define IDC_POOL_UNASSIGN 6087  // Delete (the assignment)
#define IDC_POOL_DELETE_KEY 6081  // command the pool list sends on the Delete key (no dialog acts on it)

// EyepDlg
#define IDC_POOL_BARLOW 6088  // Barlow lens magnification factor

// FOVDlg
#define IDC_FOV_TELESCOPE 6070  // telescope list
#define IDC_FOV_MEASURED  6071  // observed field of view (arc min)

// EditEyepDlg
#define IDC_POOLITEM_NAME            6022  // name or label of a pool item (eyepiece, filter and lens editors)
#define IDC_EYEPIECE_FOCAL_LENGTH    6097  // focal length (mm)
#define IDC_EYEPIECE_APPARENT_FIELD  6096  // apparent field of view
#define IDC_EYEPIECE_CALCULATE_FIELD 6084  // Calculate Apparent FOV

// EditFilterDlg
#define IDC_FILTER_WAVELENGTH 101   // central wavelength (nm)
#define IDC_FILTER_FWHM       102   // full width at half maximum (nm)
#define IDC_FILTER_FWHM_UNIT  106   // "nm" beside the FWHM
#define IDC_FILTER_PEAK       104   // peak transmission (%)

// EditNDFilterDlg
#define IDC_NDFILTER_TRANSMISSION 101   // radio: transmission %; the three radios are consecutive
#define IDC_NDFILTER_DENSITY      102   // radio: optical density
#define IDC_NDFILTER_ATTENUATION  103   // radio: attenuation
#define IDC_NDFILTER_VALUE        104   // the value in the chosen form

// FilterTypeDlg
#define IDC_FILTERTYPE_STANDARD 101   // Create Standard Filter
#define IDC_FILTERTYPE_ND       102   // Create Neutral Density Filter

// EditLensDlg
#define IDC_LENS_FOCAL_LENGTH 101   // focal length (mm)
#define IDC_LENS_FOCAL_RATIO  106   // focal ratio

// ReportEPDlg: the telescope report
#define IDC_REPORT_PRINT          6079  // "Print/Copy"
#define IDC_REPORT_SUMMARY        6080  // summary text (read-only edit)
#define IDC_REPORT_EYEPIECE_LIST  6081  // eyepiece rows (owner-drawn list)
#define IDC_REPORT_EYEPIECE_HEAD  6082  // eyepiece table header
#define IDC_REPORT_SITE_LIMIT     6083  // "Naked Eye Limiting Magnitude: %3.1lf"
#define IDC_REPORT_OBSERVER       6084  // observer name (hyper-text: choose another)
#define IDC_REPORT_SITE           6085  // site name (hyper-text: choose another)
#define IDC_REPORT_OBSERVER_INFO  6086  // "%s, %3.1lfmm pupils"
// ReportCamDlg: the professional report adds the camera table
#define IDC_REPORT_CAMERA_LIST    6087  // camera rows (owner-drawn list)
#define IDC_REPORT_CAMERA_HEAD    6088  // camera table header
// EditCamDlg ("Edit Camera Data"); the model name is IDC_POOLITEM_NAME. The
// kind radios are shared with the camera assignment dialog.
#define IDC_CAMERA_KIND_CCD        6160  // "Astronomical CCD Camera" / "CCD"
#define IDC_CAMERA_KIND_DIGITAL    6161  // "Digital Camera"
#define IDC_CAMERA_KIND_VIDEO      6162  // "Video Camera/Web Cam" / "Video/Webcam"
#define IDC_CAMERA_PIXEL_WIDTH     6157  // micrometres
#define IDC_CAMERA_PIXEL_HEIGHT    6156  // micrometres
#define IDC_CAMERA_PIXELS_ACROSS   6152
#define IDC_CAMERA_PIXELS_DOWN     6153
#define IDC_CAMERA_LENS_FOCAL      6188  // built-in lens focal length (mm), video cameras
#define IDC_CAMERA_GAIN            6154  // unbinned, e-/ADU
#define IDC_CAMERA_BINNED_GAIN     6155  // binned, e-/ADU
#define IDC_CAMERA_READ_NOISE      6168  // e
#define IDC_CAMERA_DARK_SIGNAL     6163  // e/sec
#define IDC_CAMERA_CURVE           6166  // curve choice: "Manual Entry" and the curves of ccd_Q.dat
#define IDC_CAMERA_QE_350 6169  // percent at 350 nm
#define IDC_CAMERA_QE_400 6170  // percent at 400 nm
#define IDC_CAMERA_QE_450 6171  // percent at 450 nm
#define IDC_CAMERA_QE_500 6172  // percent at 500 nm
#define IDC_CAMERA_QE_550 6173  // percent at 550 nm
#define IDC_CAMERA_QE_600 6174  // percent at 600 nm
#define IDC_CAMERA_QE_650 6175  // percent at 650 nm
#define IDC_CAMERA_QE_700 6176  // percent at 700 nm
#define IDC_CAMERA_QE_750 6177  // percent at 750 nm
#define IDC_CAMERA_QE_800 6178  // percent at 800 nm
#define IDC_CAMERA_QE_850 6179  // percent at 850 nm
#define IDC_CAMERA_QE_900 6180  // percent at 900 nm
#define IDC_CAMERA_QE_950 6181  // percent at 950 nm
#define IDC_CAMERA_QE_FIRST IDC_CAMERA_QE_350  // the 13 edits run on by 1 per 50 nm
#define IDC_CAMERA_BIT_DEPTH       6189  // "8 bits", "16 bits", "32 bits"
#define IDC_CAMERA_GUIDER          6192  // "Enable" built-in guider chip
#define IDC_CAMERA_GUIDER_PIXEL_WIDTH   6196
#define IDC_CAMERA_GUIDER_PIXEL_HEIGHT  6195
#define IDC_CAMERA_GUIDER_PIXELS_ACROSS 6194
#define IDC_CAMERA_GUIDER_PIXELS_DOWN   6193
#define IDC_CAMERA_GUIDER_OFFSET_X      6190  // mm from the sensor's centre
#define IDC_CAMERA_GUIDER_OFFSET_Y      6191

// CamDlg ("Select Cameras To Use With Telescope"): the pool list, the
// assigned list and their buttons are the pool dialogs' ids (IDC_POOL_*), the
// kind radios the camera editor's (IDC_CAMERA_KIND_*).
#define IDC_CAMDLG_ACCESSORIES     6101  // "Assign Filters" / "Assign Lenses"
#define IDC_CAMDLG_PROJECTION      6105  // check: eyepiece projection
#define IDC_CAMDLG_PROJECTION_LINK 6108  // link: the projection setting, opens CamEProjDlg
#define IDC_CAMDLG_AFOCAL          6110  // check: afocal projection
#define IDC_CAMDLG_AFOCAL_LINK     6109  // link: the afocal setting, opens CamAfocalDlg
#define IDC_CAMDLG_FACTORS         6113  // "Magnification factors" and the factors
#define IDC_CAMDLG_FACTOR_ADD      6112  // Add (opens AddFocalDlg)
#define IDC_CAMDLG_FACTOR_DELETE   6111  // Delete the chosen factor

// CamEProjDlg ("Configure Eyepiece Projection"), CamAfocalDlg ("Configure
// Afocal Projection": the eyepiece only)
#define IDC_PROJECTION_EYEPIECE 1101  // eyepieces of the telescope
#define IDC_PROJECTION_DISTANCE 1102  // eyepiece to camera, mm
#define IDC_PROJECTION_OPTIMUM  1103  // the optimum distance text
#define IDC_PROJECTION_CAMERA   1104  // cameras of the telescope
#define IDC_PROJECTION_FILTER   1105  // "No filter" and the chosen camera's filters

// AddFocalDlg ("Add Focal Extender/Reducer")
#define IDC_FOCAL_FACTOR 6071  // magnification factor
