// Ids of the CalDate calendar control: its child windows and the commands of
// its month menu CDMONTHPOPUP (caldate.rc). Values are fixed: the menu
// resource and the control's code share them.
#pragma once

// Children of the control
#define IDC_CALDATE_PREVIOUS 200  // "<<" link: previous month
#define IDC_CALDATE_NEXT     201  // ">>" link: next month
#define IDC_CALDATE_MONTH    202  // month name link: opens the month menu
#define IDC_CALDATE_YEAR     203  // year edit; Enter applies it

// Month menu commands: January .. December
#define IDM_CALDATE_JANUARY   901
#define IDM_CALDATE_FEBRUARY  902
#define IDM_CALDATE_MARCH     903
#define IDM_CALDATE_APRIL     904
#define IDM_CALDATE_MAY       905
#define IDM_CALDATE_JUNE      906
#define IDM_CALDATE_JULY      907
#define IDM_CALDATE_AUGUST    908
#define IDM_CALDATE_SEPTEMBER 909
#define IDM_CALDATE_OCTOBER   910
#define IDM_CALDATE_NOVEMBER  911
#define IDM_CALDATE_DECEMBER  912
