// window_harness.h: running the real main window inside a test: answering
// its modal dialogs from a thread timer, catching its message boxes, and
// temporary folders for the tables it opens.

#ifndef LOGWEAVE_TESTS_APP_WINDOW_HARNESS_H_
#define LOGWEAVE_TESTS_APP_WINDOW_HARNESS_H_

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "mapping/language.h"

/// Calls \a act with the first visible dialog (class "#32770") of this thread
/// whose caption is \a caption, from a thread timer, so it runs inside the
/// modal loop of whatever call shows the dialog. Only one is armed at a time.
/// A dialog that \a act fails to close within a few seconds is closed by
/// force, so a broken test fails instead of hanging.
class DialogAnswer {
 public:
  using ActFn = std::function<void(HWND dialog)>;
  DialogAnswer(const std::string& caption, ActFn act);
  ~DialogAnswer();
  bool answered() const { return answered_; }
  bool forced() const { return forced_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::string caption_;
  ActFn act_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
  bool forced_ = false;
  HWND dialog_ = nullptr;
  DWORD answered_at_ = 0;
};

/// What the language dialog looked like and how it was answered.
struct LanguageAnswer {
  bool choose_english = false;
  bool press_escape = false;  ///< Esc instead of OK
  // Seen when the dialog was up:
  bool seen = false;
  UINT spanish_checked = 0;
  UINT english_checked = 0;
  bool focus_on_ok = false;
  bool owner_hidden = false;
  bool forced = false;  ///< the answer did not close the dialog
};

/// One window as the program asked for it, seen by a CBT hook before the
/// system adjusted anything.
struct CreatedWindow {
  HWND hwnd = nullptr;
  HWND parent = nullptr;
  std::string class_name;
  std::string text;
  bool text_null = false;
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  INT_PTR id = 0;  ///< the menu parameter, a child's id
};

/// The main window of one test: class registered, created with the language
/// dialog answered, destroyed at the end with its quit message drained.
class TestWindow {
 public:
  explicit TestWindow(Language language, bool press_escape = false);
  ~TestWindow();
  HWND hwnd() const { return hwnd_; }
  const LanguageAnswer& language_answer() const { return answer_; }
  /// Every window created while the main window was, in order (the language
  /// dialog and its controls included).
  const std::vector<CreatedWindow>& created() const { return created_; }
  /// Destroys the window now; returns the code of the quit message it
  /// posted, or -1 when it posted none.
  int Destroy();

 private:
  HWND hwnd_ = nullptr;
  LanguageAnswer answer_;
  std::vector<CreatedWindow> created_;
};

/// A message box shown while \a action runs: its text and style, caught and
/// closed with OK.
struct CaughtMessage {
  bool shown = false;
  bool forced = false;  ///< it did not close when OK was pressed
  std::string text;     ///< bytes of the ANSI text
  bool has_icon = false;
};
CaughtMessage CatchMessageBox(const std::function<void()>& action);

/// The text of a window or control (ANSI bytes).
std::string TextOf(HWND window);

/// The entries of a list box (ANSI bytes), read with LB_GETTEXT.
std::vector<std::string> ListItems(HWND list);

/// Prints a language in test failures and test names.
inline void PrintTo(Language language, std::ostream* os) {
  *os << (language == kSpanish ? "Spanish" : "English");
}

#endif  // LOGWEAVE_TESTS_APP_WINDOW_HARNESS_H_
