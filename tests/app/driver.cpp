// driver.cpp: a small console program the end-to-end scenarios use to look
// at and act on the windows of the program under test, which runs in the
// same Wine prefix. Each call does one thing and exits 0 on success, 1 when
// the window or control was not found in time, 2 on a usage error.
//
// Windows are found by their exact title among the visible top-level
// windows (arguments arrive in the ANSI code page); controls by their id
// ("#N" instead of an id means the N-th child window, counting from 0 in
// creation order). Texts are printed as UTF-8 with "\n" line ends.
//
//   wait TITLE [CLASS]          wait until the window exists
//   waitgone TITLE              wait until it is gone
//   click TITLE ID              post a button click
//   post TITLE ID               post WM_COMMAND(ID) to the window
//   close TITLE                 post WM_CLOSE
//   text TITLE [ID]             print the window's or the control's text
//   enabled TITLE ID            print 1 or 0
//   checked TITLE ID            print the button's check state
//   items TITLE ID              print a list box's entries, one a line
//   selected TITLE ID           print a list box's selected index (-1: none)
//   settext TITLE ID TEXT       set a control's text
//   ofn TITLE WINPATH           type a path into an open-file dialog, press OK
//   dblclick TITLE ID INDEX     double-click a list entry with the mouse
//   clickitem TITLE ID INDEX    click a list entry with the mouse
//   clickat TITLE ID            click the middle of a control with the mouse
//   ncclick TITLE HT            click the window's frame part HT (20: close box)
//   key TITLE VK [alt]          bring the window to the front, press a key
//   rect TITLE                  print the window's screen rectangle x y w h
//   tree TITLE                  print the window's descendants: id, class, text
//   top TITLE ID INDEX          scroll a list box so INDEX is its first line
//   timeclick TITLE ID WAITFOR  click a button, print the seconds until a
//                               window titled WAITFOR shows
//   runtime PROGRAM [ARGS...]   run a program, print the seconds it took
//   acp                         print the ANSI code page

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD g_timeout_ms = 15000;

std::wstring Wide(const char* ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], n);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(),
                              static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string text(n, '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                        &text[0], n, nullptr, nullptr);
  return text;
}

std::wstring TitleOf(HWND window) {
  wchar_t title[512];
  int got = GetWindowTextW(window, title, 512);
  return std::wstring(title, got > 0 ? got : 0);
}

// Asks the window itself: GetWindowText on another process's edit control
// gives the text it was created with, not the one it shows.
std::wstring WindowTextW(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           5000, &length))
    return std::wstring();
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1,
                      reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                      5000, &got);
  text.resize(got);
  return text;
}

struct Search {
  std::wstring title;
  std::wstring class_name;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (!IsWindowVisible(window)) return TRUE;
  if (TitleOf(window) != search->title) return TRUE;
  if (!search->class_name.empty()) {
    wchar_t name[256];
    GetClassNameW(window, name, 256);
    if (search->class_name != name) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindTop(const char* title, const char* class_name = nullptr) {
  Search search;
  search.title = Wide(title);
  if (class_name) search.class_name = Wide(class_name);
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls every 50 ms until the window exists or the time is up.
HWND WaitTop(const char* title, const char* class_name = nullptr) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindTop(title, class_name)) return window;
    if (GetTickCount() - start > g_timeout_ms) return nullptr;
    Sleep(50);
  }
}

HWND Control(HWND top, const char* id) {
  if (id[0] == '#') {
    int wanted = std::atoi(id + 1);
    HWND child = GetWindow(top, GW_CHILD);
    for (int i = 0; child && i < wanted; ++i)
      child = GetWindow(child, GW_HWNDNEXT);
    return child;
  }
  return GetDlgItem(top, static_cast<int>(std::strtol(id, nullptr, 0)));
}

void PrintLine(const std::wstring& text) {
  std::string bytes = Utf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputc('\n', stdout);
}

// Absolute mouse input: every event carries the position.
void MouseClicks(int x, int y, int clicks) {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> input(1 + 2 * clicks);
  for (std::size_t i = 0; i < input.size(); ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dx = (x * 65535 + sw / 2) / (sw - 1);
    input[i].mi.dy = (y * 65535 + sh / 2) / (sh - 1);
    input[i].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE |
                          (i == 0    ? 0
                           : (i % 2) ? MOUSEEVENTF_LEFTDOWN
                                     : MOUSEEVENTF_LEFTUP);
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// Scrolls the list, as a user would, when the entry is out of sight.
bool ItemCentre(HWND list, int index, POINT* centre) {
  RECT client, item;
  GetClientRect(list, &client);
  if (SendMessageW(list, LB_GETITEMRECT, index,
                   reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return false;
  if (item.top < client.top || item.bottom > client.bottom) {
    SendMessageW(list, LB_SETTOPINDEX, index, 0);
    Sleep(100);
  }
  if (SendMessageW(list, LB_GETITEMRECT, index,
                   reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return false;
  centre->x = (item.left + item.right) / 2;
  centre->y = (item.top + item.bottom) / 2;
  ClientToScreen(list, centre);
  return true;
}

void KeyPress(WORD key, bool alt) {
  std::vector<INPUT> input;
  auto add = [&input](WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(in);
  };
  if (alt) add(VK_MENU, false);
  add(key, false);
  add(key, true);
  if (alt) add(VK_MENU, true);
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t name[64];
  GetClassNameW(child, name, 64);
  std::printf("%p parent=%p id=%d ", static_cast<void*>(child),
              static_cast<void*>(GetParent(child)), GetDlgCtrlID(child));
  PrintLine(std::wstring(name) + L" \"" + WindowTextW(child) + L"\"");
  return TRUE;
}

struct DescendantSearch {
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<DescendantSearch*>(data);
  wchar_t name[64];
  GetClassNameW(child, name, 64);
  if (lstrcmpiW(name, search->class_name) != 0) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindDescendant(HWND parent, const wchar_t* class_name) {
  DescendantSearch search{class_name, nullptr};
  EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Usage() {
  std::fprintf(stderr, "lw_driver: bad arguments (see driver.cpp)\n");
  return 2;
}

int Fail(const char* what, const char* name) {
  std::fprintf(stderr, "lw_driver: %s not found: %s\n", what, name);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (const char* t = std::getenv("LW_DRIVER_TIMEOUT_MS"))
    g_timeout_ms = static_cast<DWORD>(std::atol(t));
  if (argc < 2) return Usage();
  std::string command = argv[1];

  if (command == "acp") {
    std::printf("%u\n", GetACP());
    return 0;
  }
  if (argc < 3) return Usage();
  const char* title = argv[2];

  if (command == "runtime") {
    std::string line;
    for (int i = 2; i < argc; ++i) {
      if (i > 2) line += ' ';
      line += std::string("\"") + argv[i] + "\"";
    }
    // The program's own output goes nowhere.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process))
      return Fail("program", argv[2]);
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(nul);
    std::printf("%.4f\n", static_cast<double>(end.QuadPart - begin.QuadPart) /
                              frequency.QuadPart);
    return code == 0 ? 0 : 1;
  }

  if (command == "waitgone") {
    DWORD start = GetTickCount();
    while (FindTop(title)) {
      if (GetTickCount() - start > g_timeout_ms) return Fail("gone", title);
      Sleep(50);
    }
    return 0;
  }

  HWND top = WaitTop(title, command == "wait" && argc > 3 ? argv[3] : nullptr);
  if (!top) return Fail("window", title);
  if (command == "wait") return 0;
  if (command == "tree") {
    EnumChildWindows(top, PrintChild, 0);
    return 0;
  }
  if (command == "close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == "rect") {
    RECT r;
    GetWindowRect(top, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    return 0;
  }
  if (command == "text" && argc == 3) {
    PrintLine(WindowTextW(top));
    return 0;
  }
  if (command == "key" && argc >= 4) {
    SetForegroundWindow(top);
    Sleep(100);
    KeyPress(static_cast<WORD>(std::strtol(argv[3], nullptr, 0)),
             argc > 4 && std::strcmp(argv[4], "alt") == 0);
    return 0;
  }
  if (command == "ncclick" && argc >= 4) {
    // Finds the part by asking the window itself, from the top right.
    LRESULT wanted = std::strtol(argv[3], nullptr, 0);
    RECT r;
    GetWindowRect(top, &r);
    for (int y = r.top + 2; y < r.top + 40; y += 2)
      for (int x = r.right - 2; x > r.left + (r.right - r.left) / 2; x -= 2)
        if (SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == wanted) {
          auto hit = [&](int px, int py) {
            return SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(px, py)) ==
                   wanted;
          };
          int left = x, bottom = y;
          while (hit(left - 1, y)) --left;
          while (hit(x, bottom + 1)) ++bottom;
          SetForegroundWindow(top);
          Sleep(100);
          MouseClicks((left + x) / 2, (y + bottom) / 2, 1);
          return 0;
        }
    return Fail("frame part", argv[3]);
  }
  if (command == "post" && argc >= 4) {
    PostMessageW(top, WM_COMMAND, std::strtol(argv[3], nullptr, 0), 0);
    return 0;
  }
  if (command == "ofn" && argc >= 4) {
    // The file name box: an edit somewhere inside combo box 0x47C, or the
    // plain edit 0x480 of the older dialog.
    HWND name = nullptr;
    DWORD start = GetTickCount();
    while (!name && GetTickCount() - start < g_timeout_ms) {
      HWND combo = GetDlgItem(top, 0x47C);
      name = combo ? FindDescendant(combo, L"Edit") : GetDlgItem(top, 0x480);
      if (!name) Sleep(50);
    }
    if (!name) return Fail("file name box", title);
    SendMessageW(name, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(argv[3]).c_str()));
    PostMessageW(GetDlgItem(top, IDOK), BM_CLICK, 0, 0);
    return 0;
  }

  if (argc < 4) return Usage();
  HWND control = Control(top, argv[3]);
  if (!control) return Fail("control", argv[3]);

  if (command == "click") {
    PostMessageW(control, BM_CLICK, 0, 0);
  } else if (command == "top" && argc >= 5) {
    SendMessageW(control, LB_SETTOPINDEX, std::atoi(argv[4]), 0);
  } else if (command == "timeclick" && argc >= 5) {
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    PostMessageW(control, BM_CLICK, 0, 0);
    for (;;) {
      if (FindTop(argv[4])) break;
      QueryPerformanceCounter(&end);
      if ((end.QuadPart - begin.QuadPart) / frequency.QuadPart > 600)
        return Fail("window", argv[4]);
      Sleep(2);
    }
    QueryPerformanceCounter(&end);
    std::printf("%.4f\n", static_cast<double>(end.QuadPart - begin.QuadPart) /
                              frequency.QuadPart);
  } else if (command == "text") {
    PrintLine(WindowTextW(control));
  } else if (command == "enabled") {
    std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
  } else if (command == "checked") {
    std::printf("%d\n",
                static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0)));
  } else if (command == "items") {
    // LB_GETTEXT across processes only works in its Unicode form here.
    int count = static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      int length = static_cast<int>(SendMessageW(control, LB_GETTEXTLEN, i, 0));
      std::wstring text(length + 1, L'\0');
      int got = static_cast<int>(SendMessageW(
          control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0])));
      text.resize(got > 0 ? got : 0);
      PrintLine(text);
    }
  } else if (command == "selected") {
    std::printf("%d\n",
                static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
  } else if (command == "settext" && argc >= 5) {
    SendMessageW(control, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(argv[4]).c_str()));
  } else if ((command == "dblclick" || command == "clickitem") && argc >= 5) {
    POINT centre;
    if (!ItemCentre(control, std::atoi(argv[4]), &centre))
      return Fail("list entry", argv[4]);
    MouseClicks(centre.x, centre.y, command == "dblclick" ? 2 : 1);
  } else if (command == "clickat") {
    RECT r;
    GetWindowRect(control, &r);
    MouseClicks((r.left + r.right) / 2, (r.top + r.bottom) / 2, 1);
  } else {
    return Usage();
  }
  return 0;
}
