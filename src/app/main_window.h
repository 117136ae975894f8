// main_window.h: the program's window: start-up with the language choice,
// the window procedure and its command handlers, and the two small dialogs.
//
// Everything runs on one thread. The language is chosen in a modal dialog
// while the main window is being created and holds for the rest of the run.

#ifndef LOGWEAVE_APP_MAIN_WINDOW_H_
#define LOGWEAVE_APP_MAIN_WINDOW_H_

#include <windows.h>

#include <string>

#include "app/controls.h"
#include "dbf/dbf_table.h"
#include "mapping/language.h"

/// The language chosen at start-up (Spanish until the dialog closes).
Language CurrentLanguage();

/// Registers the window class "CONVERSION"; the result is not examined.
void RegisterMainWindowClass(HINSTANCE instance);

/// Creates the main window (running the language dialog on the way), shows
/// it with \a show, titles it in the chosen language and paints it. Returns
/// 1 when the window exists, 0 when its creation failed.
int CreateMainWindow(HINSTANCE instance, int show);

/// The window the last CreateMainWindow made, or null.
HWND MainWindow();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam,
                                LPARAM lparam);
INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wparam,
                                    LPARAM lparam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam,
                                 LPARAM lparam);

/// The table the browse command last read successfully: its path and its
/// header, which the conversion uses as they were read.
struct KeptTable {
  bool present = false;
  std::string path;
  DbfHeader header;
};

/// The table kept by \a window (empty before the first successful browse).
const KeptTable& KeptTableOf(HWND window);

/// The handle of one of \a window's child controls.
HWND MainControlWindow(HWND window, MainControl control);

/// The browse command once a path has been chosen: shows the path, lists the
/// table's columns and keeps its path and header. A table that cannot be read
/// is reported in a message box and leaves no columns, no header and a
/// disabled Convert button behind.
void OpenTable(HWND window, const std::string& path);

#endif  // LOGWEAVE_APP_MAIN_WINDOW_H_
