// Control ids of the site and observer dialogs (sites.rc).
// Values are fixed: the templates, the code and stored dialog settings use
// them. Shared by the resource scripts and C++.
#pragma once

// Observing Sites (LocDlgSE, LocDlgPro)
#define IDC_SITE_LIST            2515  // favourite sites
#define IDC_SITE_NEW             9505  // New
#define IDC_SITE_DELETE          9502  // Delete
#define IDC_SITE_EDIT            2502  // Edit (name and position)
#define IDC_SITE_LONGITUDE       2519  // west longitude text
#define IDC_SITE_LATITUDE        2520  // latitude text
#define IDC_SITE_GPS             121   // GPS (professional form only)
#define IDC_SITE_ELEVATION       2508  // elevation
#define IDC_SITE_ELEVATION_UNIT  2514  // link: elevation unit
#define IDC_SITE_ZONE            2506  // time zone list
#define IDC_SITE_ZONE_OFFSET     2507  // time zone offset
#define IDC_SITE_STANDARD_TIME   2516  // radio: standard time
#define IDC_SITE_DAYLIGHT_SAVING 2517  // radio: daylight saving
#define IDC_SITE_DST_RULES       2518  // radio: daylight saving rules
#define IDC_SITE_CONFIGURE_DST   2523  // Configure (the rules; the edit dialog too)
#define IDC_SITE_SKY             2509  // link: naked-eye limit or sky brightness
#define IDC_SITE_SEEING          2522  // seeing list
#define IDC_SITE_TEMPERATURE     2510  // temperature (the edit dialog too)
#define IDC_SITE_FAHRENHEIT      2512  // radio: Fahrenheit (the edit dialog too)
#define IDC_SITE_CELSIUS         2513  // radio: Celsius (the edit dialog too)
#define IDC_SITE_HUMIDITY        2511  // relative humidity (the edit dialog too)
#define IDC_SITE_HORIZON_STATUS  2501  // link: obstructed horizon status
#define IDC_SITE_HORIZON_CREATE  2503  // Create (horizon)

// LocEditDlg
#define IDC_SITEEDIT_NAME            2565  // name
#define IDC_SITEEDIT_FIND            2566  // Find New
#define IDC_SITEEDIT_LONGITUDE       2576  // west longitude
#define IDC_SITEEDIT_LATITUDE        2575  // latitude
#define IDC_SITEEDIT_ELEVATION       2574  // elevation
#define IDC_SITEEDIT_ELEVATION_UNIT  2573  // link: elevation unit
#define IDC_SITEEDIT_ZONE            2572  // time zone list
#define IDC_SITEEDIT_ZONE_OFFSET     2571  // time zone offset
#define IDC_SITEEDIT_STANDARD_TIME   2568  // radio: standard time
#define IDC_SITEEDIT_DAYLIGHT_SAVING 2569  // radio: daylight saving
#define IDC_SITEEDIT_DST_RULES       2570  // radio: daylight saving rules
#define IDC_SITEEDIT_SKY             2567  // link: naked-eye limit
#define IDC_SITEEDIT_SEEING          2578  // seeing list
#define IDC_SITEEDIT_ADD_FAVORITE    2577  // Add to Favorites

// ObserverDlg
#define IDC_OBSERVER_LIST          6200  // observers
#define IDC_OBSERVER_ADD           6202  // Add
#define IDC_OBSERVER_DELETE        6201  // Delete
#define IDC_OBSERVER_NAME          6207  // name
#define IDC_OBSERVER_AGE           6206  // age
#define IDC_OBSERVER_PUPIL         6205  // pupil diameter (mm)
#define IDC_OBSERVER_COMPUTE_PUPIL 6204  // Compute (pupil from age)
#define IDC_OBSERVER_EXPERIENCE    6203  // experience list

// ObserverEditDlg
#define IDC_OBSERVEREDIT_NAME          6213  // name
#define IDC_OBSERVEREDIT_AGE           6212  // age
#define IDC_OBSERVEREDIT_PUPIL         6211  // pupil diameter (mm)
#define IDC_OBSERVEREDIT_COMPUTE_PUPIL 6209  // Compute (pupil from age)
#define IDC_OBSERVEREDIT_EXPERIENCE    6210  // experience list
#define IDC_OBSERVEREDIT_ADD_FAVORITE  6208  // Add to Favorites

// LocDlgPro

// PlacesDlg ("Add Location")
#define IDC_PLACES_MANUAL_ENTRY  2551  // Manual/GPS Entry
#define IDC_PLACES_LIST          2552  // places of the region
#define IDC_PLACES_TREE          2556  // regions
#define IDB_PLACES_TREE          2557  // bitmap: the tree's region picture, 16 x 16

// LocManDlg ("Define New Location")
#define IDC_SITECOORD_GPS        121   // GPS
#define IDC_SITECOORD_UNIT_LINK  2514  // elevation unit link
#define IDC_SITECOORD_NAME       2523  // name
#define IDC_SITECOORD_LATITUDE   2524  // latitude
#define IDC_SITECOORD_LONGITUDE  2525  // west longitude
#define IDC_SITECOORD_ELEVATION  2602  // elevation

// GPSDlg ("Get GPS Location")
#define IDC_GPS_LONGITUDE        101   // current fix: longitude
#define IDC_GPS_LATITUDE         102   // current fix: latitude
#define IDC_GPS_ELEVATION        103   // current fix: elevation
#define IDC_GPS_FIX_TYPE         104   // current fix type
#define IDC_GPS_QUALITY          105   // current fix quality
#define IDC_GPS_SATELLITES       106   // satellites used of those in view
#define IDC_GPS_BEST_FIX_TYPE    110   // best fix type
#define IDC_GPS_BEST_QUALITY     111   // best fix quality
#define IDC_GPS_MEAN_LONGITUDE   112   // mean longitude
#define IDC_GPS_MEAN_LATITUDE    113   // mean latitude
#define IDC_GPS_MEAN_ELEVATION   114   // mean elevation
#define IDC_GPS_POINTS           115   // data points
#define IDC_GPS_STATUS           116   // connection status
#define IDC_GPS_PORT             117   // COM Port
#define IDC_GPS_BAUD             118   // Baud Rate
#define IDC_GPS_USE              120   // Use This Position

// LocHorDlg ("Create Obstructed Horizon")
#define IDC_HORIZON_FORMAT_NOTE     103   // the text file's format
#define IDC_HORIZON_EXAMPLE         104   // an example of the text file
#define IDC_HORIZON_FILE            2597  // text file path
#define IDC_HORIZON_BROWSE          2590  // Browse
#define IDC_HORIZON_READ_FILE       2596  // Read File
#define IDC_HORIZON_TELESCOPE_NOTE  2595  // what Begin does, or "No telescope is connected"
#define IDC_HORIZON_BEGIN           2594  // Begin
#define IDC_HORIZON_START           2591  // Start Readings
#define IDC_HORIZON_STOP            2592  // Stop Readings
#define IDC_HORIZON_SINGLE          2599  // Take a Single Reading
#define IDC_HORIZON_DELETE_LAST     9502  // Delete Last Readings
#define IDC_HORIZON_FINISH          2593  // Finish
#define IDC_HORIZON_CANCEL_RUN      2504  // Cancel (the run)
#define IDC_HORIZON_INSTRUCTIONS    2598  // Instructions

// DSDlg ("Daylight Saving Rules")
#define IDC_DST_START_WEEK          2550  // start: week of the month
#define IDC_DST_START_WEEKDAY       2549  // start: weekday
#define IDC_DST_START_MONTH         2548  // start: month
#define IDC_DST_START_TIME          2547  // start time
#define IDC_DST_START_HOUR_TENS     2546  // start: hour tens scroll bar
#define IDC_DST_START_HOUR_UNITS    2545  // start: hour units scroll bar
#define IDC_DST_START_MINUTE_TENS   2544  // start: minute tens scroll bar
#define IDC_DST_START_MINUTE_UNITS  2543  // start: minute units scroll bar
#define IDC_DST_END_WEEK            2542  // end: week of the month
#define IDC_DST_END_WEEKDAY         2541  // end: weekday
#define IDC_DST_END_MONTH           2540  // end: month
#define IDC_DST_END_TIME            2539  // end time
#define IDC_DST_END_HOUR_TENS       2538  // end: hour tens scroll bar
#define IDC_DST_END_HOUR_UNITS      2537  // end: hour units scroll bar
#define IDC_DST_END_MINUTE_TENS     2536  // end: minute tens scroll bar
#define IDC_DST_END_MINUTE_UNITS    2535  // end: minute units scroll bar
#define IDC_DST_PRESET_US           2533  // US/Can
#define IDC_DST_PRESET_EU           2534  // EU
#define IDC_DST_PRESET_AUS          2558  // Aus.
#define IDC_DST_SHIFT               2532  // Number of hours to add

// MagLimDlg ("Light Pollution -- Sky Brightness") and its pages MagBasicDlg, MagAdvDlg
#define IDC_SKY_TABS                2580  // Basic / Advanced
#define IDC_SKY_LEVEL               2528  // sky level or Bortle class
#define IDC_SKY_VALUE               2529  // naked-eye limit or sky brightness
#define IDC_SKY_NOTE                101   // what the limit means
#define IDC_SKY_UNIT_LINK           102   // sky brightness unit link
