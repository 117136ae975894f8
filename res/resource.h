// resource.h: the ids shared by the resource script and the program.

#ifndef LOGWEAVE_RES_RESOURCE_H_
#define LOGWEAVE_RES_RESOURCE_H_

// Dialogs and the icon.
#define IDD_ABOUT 103
#define IDI_APP 107
#define IDD_LANGUAGE 140

// Controls of the language dialog.
#define IDC_SPANISH 1001
#define IDC_ENGLISH 1002

// The icon control in both dialogs.
#define IDC_APP_ICON 2

// Commands and controls of the main window.
#define IDC_HELPBUTTON 9
#define IDC_ABOUT 104
#define IDC_EXIT 105
#define IDC_HEADING 110
#define IDC_CATALOGUE 120
#define IDC_CONVERT 140
#define IDC_BROWSE 32771
#define IDC_FIELDLIST 32772

// A control without an id of its own.
#define IDC_STATIC (-1)

#endif  // LOGWEAVE_RES_RESOURCE_H_
