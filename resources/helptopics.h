// Topic ids of the importer's help file "Gleaner.chm" (its [MAP] section).
#pragma once

const int kHelpReadThisFirst = 10001;  // main window, "Read This First"
const int kHelpStep1 = 10002;          // wizard step 1, InitDlg
const int kHelpStep2 = 10003;          // wizard step 2, DesPrepDlg
const int kHelpStep3 = 10004;          // wizard step 3, DataLinkDlg
const int kHelpStep4 = 10005;          // wizard step 4 and the entry detail view
const int kHelpFormatEditor = 10006;   // format editor, ConfigDlg
