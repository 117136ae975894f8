// main_window.cpp: the window procedure, its command handlers and the
// dialogs.

#include "app/main_window.h"

#include <commdlg.h>

#include <cstddef>

#include "app/list_box.h"
#include "app/progress.h"
#include "convert/convert_file.h"
#include "dbf/table_file.h"
#include "mapping/catalogue.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "mapping/texts.h"
#include "resource.h"

namespace {

// Process-wide: the module instance, the window made by CreateMainWindow and
// the language, which the language dialog writes once.
HINSTANCE g_instance = nullptr;
HWND g_main_window = nullptr;
Language g_language = kSpanish;

// What the main window keeps for its life.
struct MainWindowState {
  HWND controls[kControlCount] = {};
  HFONT list_font = nullptr;
  ListBoxTextList field_list;
  ListBoxTextList catalogue_list;
  KeptTable table;
};

MainWindowState* StateOf(HWND window) {
  return reinterpret_cast<MainWindowState*>(
      GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The open-file dialog's record in the 76-byte form every Windows version
// takes: the members up to lpTemplateName.
constexpr DWORD kOpenFileNameSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) ==
                  kOpenFileNameSize,
              "OPENFILENAMEA layout");

void ShowError(HWND window, const std::string& text) {
  MessageBoxA(window, text.c_str(), kMessageCaption, MB_OK | MB_ICONERROR);
}

// --- Creation -------------------------------------------------------------

void OnCreate(HWND window) {
  auto* state = new MainWindowState;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));

  DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_LANGUAGE), window,
                  LanguageDialogProc, 0);

  LOGFONTA font = ListFontRecord();
  state->list_font = CreateFontIndirectA(&font);

  for (int i = 0; i < kControlCount; ++i) {
    const ControlRow& row = kControls[i];
    const char* text = row.text_kind == ControlText::kAtCreate
                           ? ControlTextOf(row, g_language)
                           : "";
    HWND control = CreateWindowExA(
        0, row.class_name, text, row.style, row.x, row.y, row.width, row.height,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
        g_instance, nullptr);
    if (row.text_kind == ControlText::kAfterCreate)
      SetWindowTextA(control, ControlTextOf(row, g_language));
    state->controls[i] = control;
  }
  state->field_list.Bind(state->controls[kFieldList]);
  state->catalogue_list.Bind(state->controls[kCatalogueList]);
  FillCatalogueList(&state->catalogue_list, g_language);
}

// --- Commands -------------------------------------------------------------

void OnBrowse(HWND window) {
  char path[256];
  path[0] = '\0';
  std::string filter = OpenFilter(g_language);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = kOpenFileNameSize;
  dialog.hwndOwner = window;
  dialog.hInstance = g_instance;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = OpenTitle(g_language);
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  dialog.lpstrDefExt = kDefaultExtension;
  if (!GetOpenFileNameA(&dialog)) return;
  OpenTable(window, path);
}

void OnAssign(MainWindowState* state) {
  Assign(&state->field_list, state->catalogue_list);
}

void OnConvert(HWND window, MainWindowState* state) {
  if (!state->table.present) return;
  HWND progress_line = state->controls[kProgressLine];
  ProgressThrottle progress(
      [progress_line](const std::string& text) {
        SetWindowTextA(progress_line, text.c_str());
      },
      [] { return static_cast<std::uint32_t>(GetTickCount()); });

  TableJob table;
  table.path = state->table.path;
  table.layout.header = state->table.header;
  table.plan = PlanColumns(AllTexts(state->field_list), g_language);
  RunJob run;
  run.language = g_language;
  run.progress = [&progress](std::uint32_t record, std::uint32_t count) {
    progress.Report(record, count);
  };
  ConvertOutcome outcome = ConvertFile(table, OutputJob(), run);
  progress.Finish();

  if (outcome.ok())
    MessageBoxA(window, outcome.message.c_str(), kMessageCaption, MB_OK);
  else
    ShowError(window, outcome.message);
}

void OnHelp(HWND window) {
  WinHelpA(window, HelpFile(g_language), HELP_FINDER, 0);
}

void OnAbout(HWND window) {
  DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                  AboutDialogProc, 0);
}

// Routes a command by its id; false leaves it to default processing.
bool OnCommand(HWND window, MainWindowState* state, int id, int code) {
  switch (id) {
    case IDC_HELPBUTTON:
      OnHelp(window);
      return true;
    case IDC_ABOUT:
      OnAbout(window);
      return true;
    case IDC_EXIT:
      DestroyWindow(window);
      return true;
    case IDC_CATALOGUE:
      if (code == LBN_DBLCLK) OnAssign(state);
      return true;
    case IDC_CONVERT:
      OnConvert(window, state);
      return true;
    case IDC_BROWSE:
      OnBrowse(window);
      return true;
    default:
      return false;
  }
}

}  // namespace

// --- Start-up -------------------------------------------------------------

Language CurrentLanguage() { return g_language; }

HWND MainWindow() { return g_main_window; }

void RegisterMainWindowClass(HINSTANCE instance) {
  g_instance = instance;
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = MainWindowProc;
  window_class.cbClsExtra = 0;
  window_class.cbWndExtra = 0;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(kMainBackgroundBrush));
  window_class.lpszMenuName = kMainClassName;
  window_class.lpszClassName = kMainClassName;
  window_class.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  RegisterClassExA(&window_class);
}

int CreateMainWindow(HINSTANCE instance, int show) {
  g_instance = instance;
  // The title is chosen before the language dialog has run, and set again
  // once the window is shown.
  HWND window = CreateWindowExA(0, kMainClassName, MainWindowTitle(g_language),
                                kMainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                kMainWindowWidth, kMainWindowHeight, nullptr,
                                nullptr, instance, nullptr);
  g_main_window = window;
  if (!window) return 0;
  ShowWindow(window, show);
  SetWindowTextA(window, MainWindowTitle(g_language));
  UpdateWindow(window);
  return 1;
}

// --- The window procedure -------------------------------------------------

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam,
                                LPARAM lparam) {
  MainWindowState* state = StateOf(window);
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete state;
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_HELP:
      OnHelp(window);
      return 0;
    case WM_COMMAND:
      if (state && OnCommand(window, state, LOWORD(wparam), HIWORD(wparam)))
        return 0;
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// --- Browse ---------------------------------------------------------------

void OpenTable(HWND window, const std::string& path) {
  MainWindowState* state = StateOf(window);
  SetWindowTextA(state->controls[kPathEdit], path.c_str());
  SendMessageA(state->controls[kFieldList], WM_SETFONT,
               reinterpret_cast<WPARAM>(state->list_font), FALSE);
  state->field_list.Reset();

  DbfLayout layout;
  TableError error;
  HeaderDamage damage;
  if (!ReadTableFile(SystemFileSystem(), path, &layout, &error, &damage)) {
    // Nothing of an earlier table may stay behind to be converted with the
    // columns of this one.
    state->table = KeptTable();
    SetWindowTextA(state->controls[kInfoLine], "");
    EnableWindow(state->controls[kConvertButton], FALSE);
    ShowError(window, TableErrorText(path, error, g_language));
    return;
  }
  state->table.present = true;
  state->table.path = path;
  state->table.header = layout.header;
  SetWindowTextA(state->controls[kInfoLine],
                 InformationLine(layout.header, g_language).c_str());
  ListColumns(layout, g_language, &state->field_list);
  if (!layout.columns.empty())
    EnableWindow(state->controls[kConvertButton], TRUE);
  state->catalogue_list.Select(0);
  // A damaged header is said once; the columns stay listed and the
  // conversion allowed, as the user may know better.
  if (damage.any()) {
    std::string text;
    for (const std::string& line : HeaderDamageTexts(path, damage, g_language))
      text += (text.empty() ? "" : "\n") + line;
    MessageBoxA(window, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  }
}

const KeptTable& KeptTableOf(HWND window) { return StateOf(window)->table; }

HWND MainControlWindow(HWND window, MainControl control) {
  return StateOf(window)->controls[control];
}

// --- Dialogs --------------------------------------------------------------

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wparam,
                                    LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CheckDlgButton(dialog, IDC_SPANISH, BST_CHECKED);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        g_language = IsDlgButtonChecked(dialog, IDC_ENGLISH) == BST_CHECKED
                         ? kEnglish
                         : kSpanish;
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam,
                                 LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}
