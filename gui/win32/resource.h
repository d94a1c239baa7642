// Identifiers of the reminder window's resources and controls.
// Plain macros: the resource compiler reads this file too.
#ifndef PENDRA_GUI_WIN32_RESOURCE_H_
#define PENDRA_GUI_WIN32_RESOURCE_H_

#define IDD_PENDRA 100
#define IDC_TODAY 101
#define IDC_BACK 102
#define IDC_DATE 103
#define IDC_FORWARD 104
#define IDC_UPDATE 105
#define IDC_LABEL 106
#define IDC_LIST 107
#define IDC_EXPORT 108
#define IDC_CALENDAR 109
#define IDC_VIEW_LABEL 110
#define IDC_VIEW 111
#define IDC_STATUS 112
// Keeping the reminder file: the buttons, the problems, the welcome.
#define IDC_EDIT 113
#define IDC_ADD 114
#define IDC_OPEN 115
#define IDC_PROBLEMS 116
#define IDC_CREATE 117
#define IDC_WELCOME_OPEN 118

// The Add form.
#define IDD_ADD 150
#define IDC_ADD_DATE 151
#define IDC_ADD_REPEAT 152
#define IDC_ADD_TEXT 153
#define IDC_ADD_BEFORE 154
#define IDC_ADD_ENTRY 155
#define IDC_ADD_NEXT 156
#define IDC_ADD_MESSAGE 157
#define IDC_ADD_BEFORE_SPIN 158

#define IDI_PENDRA 200
#define IDA_PENDRA 201

// Commands that only keys and menus give.
#define IDM_DAY_BACK 301
#define IDM_DAY_FORWARD 302
#define IDM_MONTH_BACK 303
#define IDM_MONTH_FORWARD 304
#define IDM_GO_TODAY 305
#define IDM_EXPORT_WINDOW 310
#define IDM_EXPORT_MONTH 311
#define IDM_EXPORT_YEAR 312

#endif  // PENDRA_GUI_WIN32_RESOURCE_H_
