// window_test.cpp: the main window as it is really created, against its
// control table, in both languages; the language dialog's outcome.

#include <windows.h>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/main_window.h"
#include "mapping/catalogue.h"
#include "resource.h"
#include "window_harness.h"

namespace {

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return rect;
}

std::string ClassOf(HWND window) {
  char name[64];
  GetClassNameA(window, name, sizeof name);
  return name;
}

class MainWindowInLanguage : public testing::TestWithParam<Language> {};

// The fifteen controls, written out here on their own so that a slip in the
// program's table shows up as a difference.
struct ExpectedControl {
  const char* class_name;
  int id;
  int x, y, width, height;
  DWORD style;
  const char* spanish;
  const char* english;
};
// clang-format off
const ExpectedControl kExpected[] = {
    {"STATIC", -1, 10, 5, 150, 15, 0x50000000, "Fichero a convertir:", "File to convert:"},
    {"EDIT", -1, 150, 5, 289, 20, 0x50800000, "", ""},
    {"STATIC", 110, 10, 30, 250, 15, 0x50000000, "", ""},
    {"STATIC", 110, 10, 50, 50, 15, 0x50000000, "Campo", "Field"},
    {"STATIC", 110, 120, 50, 50, 15, 0x50000000, "Tipo", "Type"},
    {"STATIC", 110, 194, 50, 190, 15, 0x50000000,
     "Tama\xF1o\xA0\xA0\xA0\xA0" "Decimales\xA0" "Adif",
     "\xA0\xA0\xA0Size\xA0\xA0\xA0\xA0" "Decimals\xA0" "Adif"},
    {"STATIC", -1, 10, 160, 300, 15, 0x50000000, "Selecciona correspondencia Adif",
     "Select equivalence to Adif:"},
    {"STATIC", -1, 10, 260, 120, 15, 0x50000000, "", ""},
    {"BUTTON", 32771, 440, 5, 20, 20, 0x50000000, "&...", "&..."},
    {"BUTTON", 140, 130, 258, 80, 30, 0x58000000, "&Convertir", "&Convert"},
    {"BUTTON", 105, 220, 258, 80, 30, 0x50000000, "&Salir", "&Exit"},
    {"BUTTON", 104, 310, 258, 100, 30, 0x50000000, "&Acerca de...", "&About..."},
    {"BUTTON", 9, 420, 258, 30, 30, 0x50000000, "?", "?"},
    {"LISTBOX", 32772, 10, 65, 450, 95, 0x50A00000, "", ""},
    {"LISTBOX", 120, 10, 175, 450, 80, 0x50A00001, "", ""},
};
// clang-format on

TEST_P(MainWindowInLanguage, ControlsAreCreatedAsTheTableSays) {
  const Language language = GetParam();
  TestWindow window(language);
  ASSERT_NE(window.hwnd(), nullptr);

  // Besides the controls, the log holds the main window and the language
  // dialog (owned, not a child) with its controls; the dialog comes first.
  std::vector<CreatedWindow> children;
  bool dialog_seen = false;
  for (const CreatedWindow& created : window.created()) {
    if (created.parent == window.hwnd() && (created.style & WS_CHILD)) {
      EXPECT_TRUE(dialog_seen) << "a control before the language dialog";
      children.push_back(created);
    } else if (created.class_name == "#32770") {
      dialog_seen = true;
    }
  }
  ASSERT_EQ(children.size(), static_cast<std::size_t>(kControlCount));
  for (int i = 0; i < kControlCount; ++i) {
    const ExpectedControl& expected = kExpected[i];
    const CreatedWindow& created = children[i];
    SCOPED_TRACE(kControls[i].name);
    EXPECT_EQ(created.class_name, expected.class_name);
    EXPECT_EQ(created.id, expected.id);
    EXPECT_EQ(created.x, expected.x);
    EXPECT_EQ(created.y, expected.y);
    EXPECT_EQ(created.width, expected.width);
    EXPECT_EQ(created.height, expected.height);
    EXPECT_EQ(created.style, expected.style);
    EXPECT_EQ(created.ex_style, 0u);
    // Buttons carry their text from the start; statics get theirs after.
    bool button = std::string(expected.class_name) == "BUTTON";
    EXPECT_EQ(
        created.text,
        button ? Choose(language, expected.spanish, expected.english) : "");
    EXPECT_EQ(created.hwnd,
              MainControlWindow(window.hwnd(), static_cast<MainControl>(i)));

    // The live control: its text, id and place. A list box shrinks itself
    // to a whole number of entries.
    HWND control = created.hwnd;
    EXPECT_EQ(TextOf(control),
              Choose(language, expected.spanish, expected.english));
    EXPECT_EQ(GetDlgCtrlID(control), expected.id);
    RECT rect = RectInParent(control);
    EXPECT_EQ(rect.left, expected.x);
    EXPECT_EQ(rect.top, expected.y);
    EXPECT_EQ(rect.right - rect.left, expected.width);
    if (std::string(expected.class_name) == "LISTBOX") {
      EXPECT_LE(rect.bottom - rect.top, expected.height);
      EXPECT_GT(rect.bottom - rect.top, expected.height - 20);
    } else {
      EXPECT_EQ(rect.bottom - rect.top, expected.height);
    }
    EXPECT_TRUE(IsWindowVisible(control));
  }
  // Creation order is also the order of the children.
  HWND child = GetWindow(window.hwnd(), GW_CHILD);
  for (const CreatedWindow& created : children) {
    EXPECT_EQ(child, created.hwnd);
    child = child ? GetWindow(child, GW_HWNDNEXT) : nullptr;
  }
  EXPECT_EQ(child, nullptr);
}

TEST_P(MainWindowInLanguage, StartsWithTheCatalogueListedAndConvertDisabled) {
  const Language language = GetParam();
  TestWindow window(language);
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(CurrentLanguage(), language);

  HWND catalogue = MainControlWindow(hwnd, kCatalogueList);
  std::vector<std::string> items = ListItems(catalogue);
  ASSERT_EQ(items.size(), 43u);
  for (int row = 0; row < kCatalogueRows; ++row)
    EXPECT_EQ(items[row], CatalogueEntry(row, language)) << "row " << row;
  EXPECT_EQ(SendMessageA(catalogue, LB_GETCURSEL, 0, 0), LB_ERR);

  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kFieldList), LB_GETCOUNT, 0, 0), 0);
  EXPECT_FALSE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));
  EXPECT_TRUE(IsWindowEnabled(MainControlWindow(hwnd, kBrowseButton)));
  EXPECT_FALSE(KeptTableOf(hwnd).present);
  // No control has a font of its own until a table is opened.
  for (int i = 0; i < kControlCount; ++i)
    EXPECT_EQ(SendMessageA(MainControlWindow(hwnd, static_cast<MainControl>(i)),
                           WM_GETFONT, 0, 0),
              0)
        << kControls[i].name;
}

TEST_P(MainWindowInLanguage, WindowIsTitledAndSizedAsTheClassSays) {
  const Language language = GetParam();
  const Language before = CurrentLanguage();  // Spanish in a fresh process
  TestWindow window(language);
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_FALSE(window.created().empty());
  const CreatedWindow& created = window.created().front();
  EXPECT_EQ(created.hwnd, hwnd);
  EXPECT_EQ(created.class_name, "CONVERSION");
  // Titled before the language is chosen, titled again once shown.
  EXPECT_EQ(created.text, MainWindowTitle(before));
  EXPECT_EQ(created.style, 0x000A0000u);
  EXPECT_EQ(created.ex_style, 0u);
  EXPECT_EQ(created.width, 475);
  EXPECT_EQ(created.height, 320);
  EXPECT_EQ(created.parent, nullptr);
  EXPECT_EQ(created.id, 0);
  EXPECT_EQ(TextOf(hwnd), MainWindowTitle(language));
  EXPECT_EQ(ClassOf(hwnd), "CONVERSION");

  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 475);
  EXPECT_EQ(outer.bottom - outer.top, 320);
  DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP), 0u);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  // No menu bar: the lowest control, at y 288, still fits the client area.
  EXPECT_EQ(GetMenu(hwnd), nullptr);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_GE(client.bottom, 288);
  EXPECT_GE(client.right, 460);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MainWindowInLanguage,
                         testing::Values(kSpanish, kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                           return info.param == kEnglish ? "English"
                                                         : "Spanish";
                         });

TEST(MainWindowClass, IsRegisteredAsTheClassRecordSays) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterMainWindowClass(instance);
  WNDCLASSEXA record = {};
  record.cbSize = sizeof record;
  ASSERT_TRUE(GetClassInfoExA(instance, "CONVERSION", &record));
  EXPECT_EQ(record.cbSize, 48u);
  EXPECT_EQ(record.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(record.style, 3u);
  EXPECT_EQ(record.lpfnWndProc, MainWindowProc);
  EXPECT_EQ(record.cbClsExtra, 0);
  EXPECT_EQ(record.cbWndExtra, 0);
  EXPECT_EQ(record.hbrBackground, reinterpret_cast<HBRUSH>(5));
  EXPECT_STREQ(record.lpszMenuName, "CONVERSION");
  EXPECT_NE(record.hIcon, nullptr);
  EXPECT_NE(record.hIconSm, nullptr);
  EXPECT_EQ(record.hCursor, LoadCursorA(nullptr, IDC_ARROW));
}

TEST(LanguageDialog, OkWithoutTouchingGivesSpanish) {
  TestWindow window(kSpanish);
  ASSERT_NE(window.hwnd(), nullptr);
  const LanguageAnswer& seen = window.language_answer();
  ASSERT_TRUE(seen.seen);
  EXPECT_FALSE(seen.forced);
  EXPECT_EQ(seen.spanish_checked, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(seen.english_checked, static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(seen.focus_on_ok);
  EXPECT_TRUE(seen.owner_hidden) << "the main window shows only afterwards";
  EXPECT_EQ(CurrentLanguage(), kSpanish);
  EXPECT_EQ(TextOf(window.hwnd()), "Conversi\xF3n DBF a Formato ADIF");
}

TEST(LanguageDialog, EnglishThenEscapeGivesEnglish) {
  TestWindow window(kEnglish, /*press_escape=*/true);
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(window.language_answer().seen);
  EXPECT_FALSE(window.language_answer().forced);
  EXPECT_EQ(CurrentLanguage(), kEnglish);
  EXPECT_EQ(TextOf(window.hwnd()), "Convert any DBF file to ADI");
  EXPECT_EQ(TextOf(MainControlWindow(window.hwnd(), kExitButton)), "&Exit");
}

TEST(AnsiCodePage, IsWestern) { EXPECT_EQ(GetACP(), 1252u); }

}  // namespace
