// window_harness.cpp: driving the real window from inside a test.

#include "window_harness.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/main_window.h"
#include "resource.h"

namespace {

DialogAnswer* g_armed = nullptr;

struct ThreadDialogSearch {
  const std::string* caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ThreadDialogSearch*>(data);
  char name[64];
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
  if (TextOf(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

std::vector<CreatedWindow>* g_creation_log = nullptr;

LRESULT CALLBACK LogCreation(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && g_creation_log) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs;
    CreatedWindow created;
    created.hwnd = reinterpret_cast<HWND>(wparam);
    created.parent = cs->hwndParent;
    if (IS_INTRESOURCE(cs->lpszClass)) {
      char name[64];
      GetClassNameA(created.hwnd, name, sizeof name);
      created.class_name = name;
    } else {
      created.class_name = cs->lpszClass;
    }
    created.text_null = cs->lpszName == nullptr;
    if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
      created.text = cs->lpszName;
    created.style = static_cast<DWORD>(cs->style);
    created.ex_style = cs->dwExStyle;
    created.x = cs->x;
    created.y = cs->y;
    created.width = cs->cx;
    created.height = cs->cy;
    created.id = reinterpret_cast<INT_PTR>(cs->hMenu);
    g_creation_log->push_back(created);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

DialogAnswer::DialogAnswer(const std::string& caption, ActFn act)
    : caption_(caption), act_(std::move(act)) {
  g_armed = this;
  timer_ = SetTimer(nullptr, 0, 20, Tick);
}

DialogAnswer::~DialogAnswer() {
  if (timer_) KillTimer(nullptr, timer_);
  if (g_armed == this) g_armed = nullptr;
}

void CALLBACK DialogAnswer::Tick(HWND, UINT, UINT_PTR, DWORD) {
  DialogAnswer* self = g_armed;
  if (!self) return;
  if (self->answered_) {
    // Still open long after the answer: close it so the test can go on.
    if (!IsWindow(self->dialog_)) {
      KillTimer(nullptr, self->timer_);
      self->timer_ = 0;
    } else if (GetTickCount() - self->answered_at_ > 5000) {
      self->forced_ = true;
      EndDialog(self->dialog_, IDCANCEL);
    }
    return;
  }
  ThreadDialogSearch search{&self->caption_};
  EnumThreadWindows(GetCurrentThreadId(), MatchDialog,
                    reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  self->answered_ = true;
  self->dialog_ = search.found;
  self->answered_at_ = GetTickCount();
  self->act_(search.found);
}

TestWindow::TestWindow(Language language, bool press_escape) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterMainWindowClass(instance);
  answer_.choose_english = language == kEnglish;
  answer_.press_escape = press_escape;
  LanguageAnswer* answer = &answer_;
  DialogAnswer answering("LogWeave", [answer](HWND dialog) {
    answer->seen = true;
    answer->spanish_checked = IsDlgButtonChecked(dialog, IDC_SPANISH);
    answer->english_checked = IsDlgButtonChecked(dialog, IDC_ENGLISH);
    answer->focus_on_ok = GetFocus() == GetDlgItem(dialog, IDOK);
    HWND owner = GetWindow(dialog, GW_OWNER);
    answer->owner_hidden = owner && !IsWindowVisible(owner);
    if (answer->choose_english)
      SendDlgItemMessageA(dialog, IDC_ENGLISH, BM_CLICK, 0, 0);
    if (answer->press_escape) {
      // Esc reaches the dialog manager as a key press in the dialog.
      PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    } else {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
  });
  g_creation_log = &created_;
  HHOOK hook =
      SetWindowsHookExA(WH_CBT, LogCreation, nullptr, GetCurrentThreadId());
  if (CreateMainWindow(instance, SW_SHOWNOACTIVATE)) hwnd_ = MainWindow();
  UnhookWindowsHookEx(hook);
  g_creation_log = nullptr;
  answer_.forced = answering.forced();
}

TestWindow::~TestWindow() { Destroy(); }

int TestWindow::Destroy() {
  if (!hwnd_ || !IsWindow(hwnd_)) return -1;
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  MSG message;
  int code = -1;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    if (message.message == WM_QUIT) code = static_cast<int>(message.wParam);
  return code;
}

CaughtMessage CatchMessageBox(const std::function<void()>& action) {
  CaughtMessage caught;
  CaughtMessage* out = &caught;
  DialogAnswer answering("LOGWEAVE", [out](HWND box) {
    out->shown = true;
    out->text = TextOf(GetDlgItem(box, 0xFFFF));
    // The message box's icon is a static control showing an icon.
    for (HWND child = GetWindow(box, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      char name[32];
      GetClassNameA(child, name, sizeof name);
      if (lstrcmpiA(name, "Static") == 0 &&
          (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
          SendMessageA(child, STM_GETICON, 0, 0) != 0)
        out->has_icon = true;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  action();
  caught.forced = answering.forced();
  return caught;
}

std::string TextOf(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(length + 1, '\0');
  int got = GetWindowTextA(window, &text[0], length + 1);
  text.resize(got > 0 ? got : 0);
  return text;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
    std::string text(length + 1, '\0');
    int got = static_cast<int>(
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0])));
    text.resize(got > 0 ? got : 0);
    items.push_back(text);
  }
  return items;
}
