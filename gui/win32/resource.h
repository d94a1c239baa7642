// Identifiers of the reminder window's dialog template and its controls.
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

#endif  // PENDRA_GUI_WIN32_RESOURCE_H_
