// controls.h: the main window described as data: its class, its size, the
// fixed-pitch font of the field list, the fifteen child controls in creation
// order, and the texts chosen by the language.

#ifndef LOGWEAVE_APP_CONTROLS_H_
#define LOGWEAVE_APP_CONTROLS_H_

#include <windows.h>

#include <string>

#include "mapping/language.h"

/// Class name and menu name of the main window.
extern const char kMainClassName[];

/// Style of the main window: an overlapped window with a system menu and a
/// minimize box, so it can be neither resized nor maximized.
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX;
/// Outer size of the main window, title bar and borders included.
constexpr int kMainWindowWidth = 475;
constexpr int kMainWindowHeight = 320;
/// Class background: system colour 4 (COLOR_MENU) plus one.
constexpr int kMainBackgroundBrush = 5;

/// The main window's title in \a language.
const char* MainWindowTitle(Language language);

/// The child controls, in creation order; also indexes into the handles.
enum MainControl {
  kFileLabel,
  kPathEdit,
  kInfoLine,
  kFieldHeading,
  kTypeHeading,
  kSizeHeading,
  kCatalogueLabel,
  kProgressLine,
  kBrowseButton,
  kConvertButton,
  kExitButton,
  kAboutButton,
  kHelpButton,
  kFieldList,
  kCatalogueList,
  kControlCount
};

/// How a control gets its text.
enum class ControlText {
  kNone,         ///< created with an empty text and keeps it
  kAfterCreate,  ///< created empty, given its text right after creation
  kAtCreate,     ///< created with its text
};

/// One row of the control table. Place and size are pixels in the main
/// window's client area.
struct ControlRow {
  const char* name;
  const char* class_name;
  int id;  ///< -1: no id of its own
  int x, y, width, height;
  DWORD style;
  ControlText text_kind;
  const char* spanish;
  const char* english;
};

extern const ControlRow kControls[kControlCount];

/// The text of \a control in \a language ("" for the controls without one).
const char* ControlTextOf(const ControlRow& control, Language language);

/// The logical font of the field list: bold, fixed pitch, 15-pixel
/// characters, face "Terminal".
LOGFONTA ListFontRecord();

/// The open-file dialog's filter: one description and pattern pair ended by
/// an empty string, so the result holds NUL bytes.
std::string OpenFilter(Language language);
const char* OpenTitle(Language language);
extern const char kDefaultExtension[];

/// Caption of every message box of the program.
extern const char kMessageCaption[];

/// The help file chosen by \a language, a bare file name.
const char* HelpFile(Language language);

#endif  // LOGWEAVE_APP_CONTROLS_H_
