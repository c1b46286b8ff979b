// Control ids of the import wizard, the format editor and their prompts
// (wizard.rc).
// Values are fixed: the templates, the code and stored dialog settings use
// them. Shared by the resource scripts and C++.
#pragma once

// InitDlg
#define IDC_STEP1_BACKUP_TEXT   101   // "1: Back up your logs..."
#define IDC_STEP1_SELECT_TEXT   112   // "2: Select the file..."
#define IDC_STEP1_FILE_GROUP    102   // group of the import file
#define IDC_STEP1_FILE          1000  // the import file's path
#define IDC_STEP1_BROWSE        1002  // Browse
#define IDC_STEP1_FORMAT_TEXT   113   // "3: Choose a pre-existing file format..."
#define IDC_STEP1_FORMAT_GROUP  103   // group of the format
#define IDC_STEP1_FORMAT        1001  // format list
#define IDC_STEP1_EDIT_FORMAT   1003  // Edit
#define IDC_STEP1_NEW_FORMAT    1004  // New
#define IDC_STEP1_DELETE_FORMAT 104   // Delete
#define IDC_STEP1_BEGIN_TEXT    114   // "4: Begin the Import Preparation Process"

// DesPrepDlg
#define IDC_STEP2_GROUP       101   // group "Step 2: Unmatched Objects"
#define IDC_STEP2_LIST        102   // unmatched designations
#define IDC_STEP2_LINK        2003  // Link to Object in Database
#define IDC_STEP2_CLEAR_LINKS 104   // Clear Links and Start Over

// ConfigDlg. The delimited-text controls are 6000..6015 and the XML tag
// controls 700..713: the editor enables each kind's controls as one range.
#define IDC_FORMAT_NAME                 5014  // save configuration as
#define IDC_FORMAT_KIND_DELIMITED       5000  // radio: delimited text
#define IDC_FORMAT_KIND_XML             5001  // radio: XML
#define IDC_FORMAT_DELIMITER            6000  // delimiter list
#define IDC_FORMAT_SKIP_LINES           5015  // lines to skip
#define IDC_FORMAT_COMMENT              5011  // skip lines that begin with
#define IDC_FORMAT_DATE_LAYOUT          5012  // date format list
#define IDC_FORMAT_SITE                 5016  // fixed site list
#define IDC_FORMAT_OBSERVER             5017  // fixed observer list
#define IDC_FORMAT_INSTRUMENT           5018  // fixed instrument list
#define IDC_FORMAT_SITE_COLUMN          6006  // site column
#define IDC_FORMAT_OBSERVER_COLUMN      6004  // observer column
#define IDC_FORMAT_INSTRUMENT_COLUMN    6015  // instrument column
#define IDC_FORMAT_DATE_COLUMN          6014  // date column
#define IDC_FORMAT_TIME_COLUMN          6013  // time column
#define IDC_FORMAT_TARGET_COLUMN        6012  // target column
#define IDC_FORMAT_DESCRIPTION_COLUMN   6011  // description column
#define IDC_FORMAT_CONDITION_COLUMNS    6010  // observing-condition columns
#define IDC_FORMAT_ADD_CONDITION_COLUMN 6002  // Add (condition column)
#define IDC_FORMAT_DEL_CONDITION_COLUMN 6003  // Del (condition column)
#define IDC_FORMAT_EXTRA_COLUMNS        6009  // extra-data columns
#define IDC_FORMAT_ADD_EXTRA_COLUMN     6007  // Add (extra column)
#define IDC_FORMAT_DEL_EXTRA_COLUMN     6008  // Del (extra column)
#define IDC_FORMAT_ENTRY_TAG            700   // entry tag; the eight tags entry..description are consecutive
#define IDC_FORMAT_SITE_TAG             701   // site tag
#define IDC_FORMAT_OBSERVER_TAG         702   // observer tag
#define IDC_FORMAT_INSTRUMENT_TAG       703   // instrument tag
#define IDC_FORMAT_DATE_TAG             704   // date tag
#define IDC_FORMAT_TIME_TAG             705   // time tag
#define IDC_FORMAT_TARGET_TAG           706   // target tag
#define IDC_FORMAT_DESCRIPTION_TAG      707   // description tag
#define IDC_FORMAT_CONDITION_TAGS       711   // observing-condition tags
#define IDC_FORMAT_ADD_CONDITION_TAG    710   // Add (condition tag)
#define IDC_FORMAT_DEL_CONDITION_TAG    709   // Del (condition tag)
#define IDC_FORMAT_EXTRA_TAGS           708   // extra-data tags
#define IDC_FORMAT_ADD_EXTRA_TAG        712   // Add (extra tag)
#define IDC_FORMAT_DEL_EXTRA_TAG        713   // Del (extra tag)
#define IDC_FORMAT_FILE_CONTENTS        4001  // the import file's first lines

// ColumnDlg
#define IDC_COLUMN_NUMBER 101   // column number

// TagDlg
#define IDC_TAG_TEXT 101   // XML tag

// DataLinkDlg
#define IDC_STEP3_INTRO       106   // introduction
#define IDC_STEP3_INSTRUMENTS 2000  // undefined instruments
#define IDC_STEP3_LOCATIONS   2001  // undefined locations
#define IDC_STEP3_OBSERVERS   2002  // undefined observers
#define IDC_STEP3_LINK        2003  // Link to Existing Entry
#define IDC_STEP3_CREATE      1004  // Create New Entry
#define IDC_STEP3_CLEAR_LINKS 6017  // Clear All Links and Start Over

// InstTypeDlg
#define IDC_INSTTYPE_TELESCOPE  1010  // radio: telescope
#define IDC_INSTTYPE_BINOCULARS 1011  // radio: binoculars
#define IDC_INSTTYPE_TEXT       1012  // explanation

// PreviewDlg
#define IDC_STEP4_GROUP  101   // group "Step 4: Preview Results"
#define IDC_STEP4_LIST   1005  // preview entries
#define IDC_STEP4_VIEW   1006  // View Selected
#define IDC_STEP4_FINISH 1007  // Finish

// LogPreviewDlg
#define IDC_ENTRY_TARGET     6012  // target
#define IDC_ENTRY_DATE_TIME  6014  // date and time
#define IDC_ENTRY_LOCATION   6006  // location
#define IDC_ENTRY_OBSERVER   6004  // observer
#define IDC_ENTRY_INSTRUMENT 6015  // instrument
#define IDC_ENTRY_CONDITIONS 102   // observing conditions
#define IDC_ENTRY_NOTES      101   // notes

// ResultDlg
#define IDC_RESULT_TEXT 4000  // the count of added entries
