// controls.cpp: the main window's tables and texts.

#include "app/controls.h"

#include "resource.h"

const char kMainClassName[] = "CONVERSION";
const char kDefaultExtension[] = "DBF";
const char kMessageCaption[] = "LOGWEAVE";

const char* MainWindowTitle(Language language) {
  return Choose(language, "Conversi\xF3n DBF a Formato ADIF",
                "Convert any DBF file to ADI");
}

namespace {

// Statics and the edit are visible children with nothing added but the
// border of the edit; buttons are plain push buttons, Convert disabled until
// a table is open; the field list has a scroll bar and a border and tells
// its parent nothing, the catalogue list also notifies so a double-click
// reaches the window.
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabelStyle = kChildStyle | SS_LEFT;
constexpr DWORD kPathEditStyle = kChildStyle | WS_BORDER | ES_LEFT;
constexpr DWORD kButtonStyle = kChildStyle | BS_PUSHBUTTON;
constexpr DWORD kDisabledButtonStyle = kButtonStyle | WS_DISABLED;
constexpr DWORD kFieldListStyle = kChildStyle | WS_VSCROLL | WS_BORDER;
constexpr DWORD kCatalogueListStyle = kFieldListStyle | LBS_NOTIFY;

// The numbers the window must be created with.
static_assert(kLabelStyle == 0x50000000, "label");
static_assert(kButtonStyle == 0x50000000, "button");
static_assert(kPathEditStyle == 0x50800000, "path edit");
static_assert(kDisabledButtonStyle == 0x58000000, "Convert button");
static_assert(kFieldListStyle == 0x50A00000, "field list");
static_assert(kCatalogueListStyle == 0x50A00001, "catalogue list");
static_assert(kMainWindowStyle == 0x000A0000, "main window");

}  // namespace

// clang-format off
const ControlRow kControls[kControlCount] = {
    {"FileLabel", "STATIC", IDC_STATIC, 10, 5, 150, 15, kLabelStyle,
     ControlText::kAfterCreate, "Fichero a convertir:", "File to convert:"},
    {"PathEdit", "EDIT", IDC_STATIC, 150, 5, 289, 20, kPathEditStyle,
     ControlText::kNone, "", ""},
    {"InfoLine", "STATIC", IDC_HEADING, 10, 30, 250, 15, kLabelStyle,
     ControlText::kNone, "", ""},
    {"FieldHeading", "STATIC", IDC_HEADING, 10, 50, 50, 15, kLabelStyle,
     ControlText::kAfterCreate, "Campo", "Field"},
    {"TypeHeading", "STATIC", IDC_HEADING, 120, 50, 50, 15, kLabelStyle,
     ControlText::kAfterCreate, "Tipo", "Type"},
    {"SizeHeading", "STATIC", IDC_HEADING, 194, 50, 190, 15, kLabelStyle,
     ControlText::kAfterCreate,
     "Tama\xF1o\xA0\xA0\xA0\xA0" "Decimales\xA0" "Adif",
     "\xA0\xA0\xA0Size\xA0\xA0\xA0\xA0" "Decimals\xA0" "Adif"},
    {"CatalogueLabel", "STATIC", IDC_STATIC, 10, 160, 300, 15, kLabelStyle,
     ControlText::kAfterCreate, "Selecciona correspondencia Adif",
     "Select equivalence to Adif:"},
    {"ProgressLine", "STATIC", IDC_STATIC, 10, 260, 120, 15, kLabelStyle,
     ControlText::kNone, "", ""},
    {"BrowseButton", "BUTTON", IDC_BROWSE, 440, 5, 20, 20, kButtonStyle,
     ControlText::kAtCreate, "&...", "&..."},
    {"ConvertButton", "BUTTON", IDC_CONVERT, 130, 258, 80, 30, kDisabledButtonStyle,
     ControlText::kAtCreate, "&Convertir", "&Convert"},
    {"ExitButton", "BUTTON", IDC_EXIT, 220, 258, 80, 30, kButtonStyle,
     ControlText::kAtCreate, "&Salir", "&Exit"},
    {"AboutButton", "BUTTON", IDC_ABOUT, 310, 258, 100, 30, kButtonStyle,
     ControlText::kAtCreate, "&Acerca de...", "&About..."},
    {"HelpButton", "BUTTON", IDC_HELPBUTTON, 420, 258, 30, 30, kButtonStyle,
     ControlText::kAtCreate, "?", "?"},
    {"FieldList", "LISTBOX", IDC_FIELDLIST, 10, 65, 450, 95, kFieldListStyle,
     ControlText::kNone, "", ""},
    {"CatalogueList", "LISTBOX", IDC_CATALOGUE, 10, 175, 450, 80, kCatalogueListStyle,
     ControlText::kNone, "", ""},
};
// clang-format on

const char* ControlTextOf(const ControlRow& control, Language language) {
  return Choose(language, control.spanish, control.english);
}

LOGFONTA ListFontRecord() {
  LOGFONTA font = {};
  font.lfHeight = -15;
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ANSI_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH;
  lstrcpyA(font.lfFaceName, "Terminal");
  return font;
}

std::string OpenFilter(Language language) {
  std::string filter = Choose(language, "Ficheros DBF", "DBF Files");
  filter += '\0';
  filter += "*.DBF";
  filter += '\0';
  filter += '\0';
  return filter;
}

const char* OpenTitle(Language language) {
  return Choose(language, "Abrir fichero DBF", "Open DBF File");
}

const char* HelpFile(Language language) {
  return Choose(language, "logweave.hlp", "lgweave.hlp");
}
