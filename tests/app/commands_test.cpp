// commands_test.cpp: the main window's commands on real list boxes and real
// files: browse (with the path given, the open-file dialog left out),
// assignment by double-click, Convert and its message boxes, About, Exit.

#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "convert/adif_header.h"
#include "convert/convert_file.h"
#include "dbf/table_file.h"
#include "dbf_builder.h"
#include "mapping/catalogue.h"
#include "mapping/field_list.h"
#include "mapping/mapping_options.h"
#include "mapping/texts.h"
#include "resource.h"
#include "test_support.h"
#include "window_harness.h"

namespace {

// A few contacts with accents, times with colons, QSL flags, a deleted
// record and one without a call sign.
BuilderTable ContactLog() {
  BuilderTable table;
  table.columns = {{"FECHA", 'D', 8, 0},       {"HORA", 'C', 5, 0},
                   {"INDICATIVO", 'C', 10, 0}, {"BANDA", 'C', 4, 0},
                   {"NOMBRE", 'C', 15, 0},     {"QSL_ENV", 'C', 1, 0},
                   {"FRECUENCIA", 'N', 9, 3},  {"NOTAS", 'C', 20, 0}};
  // clang-format off
  table.rows = {
      {"20050102", "09:15", "EA4ABC", "40M", "Jos\xE9 Mar\xED" "a", "S", "7.085", ""},
      {"20050103", "14:05", "DL1MUE", "20M", "J\xFCrgen", "s", "14.195", "QRM"},
      {"20050105", "18:20", "", "15M", "Bego\xF1" "a", "T", "21.295", "sin indicativo"},
      {"20050108", "10:02", "I2XYZ", "10M", "Giovanni", "N", "28.495", "Sporadic E"},
  };
  // clang-format on
  table.deleted = {false, true, false, false};
  return table;
}

// The mapping the tests assign through the window and give the command line.
// clang-format off
const std::vector<std::pair<std::string, std::string>> kMapping = {
    {"FECHA", "QSO_DATE"}, {"HORA", "TIME_ON"},  {"INDICATIVO", "CALL"},
    {"BANDA", "BAND"},     {"NOMBRE", "NAME"},   {"QSL_ENV", "QSL_SENT"},
    {"FRECUENCIA", "FREQ"}};

void SendCommand(HWND window, int id, int code = BN_CLICKED) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

// A double-click on catalogue row \a row, as the list box reports it.
void DoubleClickCatalogue(HWND window, int row) {
  HWND catalogue = MainControlWindow(window, kCatalogueList);
  SendMessageA(catalogue, LB_SETCURSEL, row, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CATALOGUE, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(catalogue));
}

int FieldSelection(HWND window) {
  return static_cast<int>(
      SendMessageA(MainControlWindow(window, kFieldList), LB_GETCURSEL, 0, 0));
}

// Assigns \a mapping column by column, as a user would: click the column,
// double-click the keyword.
void AssignThroughWindow(
    HWND window, const BuilderTable& table,
    const std::vector<std::pair<std::string, std::string>>& mapping,
    Language language) {
  for (const auto& [column, keyword] : mapping) {
    int index = 0;
    while (table.columns[index].name != column) ++index;
    SendMessageA(MainControlWindow(window, kFieldList), LB_SETCURSEL, index,
                 0);
    int row = FindCatalogueRow(keyword, language);
    ASSERT_GE(row, 0) << keyword;
    DoubleClickCatalogue(window, row);
  }
}

// What the command line writes for the same table and mapping.
std::string CommandLineOutput(const std::string& input,
                              const std::vector<std::pair<std::string, std::string>>& mapping,
                              Language language, const std::string& output) {
  DbfLayout layout;
  TableError error;
  EXPECT_TRUE(ReadTableFile(SystemFileSystem(), input, &layout, &error));
  MappingChoices choices;
  for (const auto& [column, keyword] : mapping)
    choices.items.push_back({column, keyword});
  TableJob table;
  table.path = input;
  table.layout.header = layout.header;
  std::vector<std::string> entries;
  std::string message;
  EXPECT_TRUE(BuildEntries(layout, language, choices, &entries, &message))
      << message;
  table.plan = PlanColumns(entries, language);
  OutputJob to;
  to.path = output;
  RunJob run;
  run.language = language;
  ConvertOutcome outcome = ConvertFile(table, to, run);
  EXPECT_TRUE(outcome.ok()) << outcome.message;
  return ReadFile(output);
}

class Commands : public testing::TestWithParam<Language> {
 protected:
  Language language() const { return GetParam(); }
  std::string WriteTable(const std::string& name, const BuilderTable& table) {
    std::string path = (folder_ / name);
    WriteFile(path, BuildTable(table));
    return path;
  }
  TempDir folder_;
};
// clang-format on

TEST_P(Commands, BrowseListsTheColumnsAndKeepsPathAndHeader) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  BuilderTable table = ContactLog();
  std::string path = WriteTable("LOG.DBF", table);

  OpenTable(hwnd, path);

  EXPECT_EQ(TextOf(MainControlWindow(hwnd, kPathEdit)), path);
  EXPECT_EQ(TextOf(MainControlWindow(hwnd, kInfoLine)),
            Choose(language(), "Creado el: 14-06-105 con 4 Qso's",
                   "Created in: 14-06-105 with 4 Qso's"));
  std::vector<std::string> entries =
      ListItems(MainControlWindow(hwnd, kFieldList));
  ASSERT_EQ(entries.size(), table.columns.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const BuilderColumn& c = table.columns[i];
    EXPECT_EQ(entries[i],
              ComposeFieldListEntry(c.name, c.type, c.length, c.decimals,
                                    SkipWord(language())));
  }
  EXPECT_EQ(FieldSelection(hwnd), 0);
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kCatalogueList), LB_GETCURSEL, 0, 0),
      0);
  EXPECT_TRUE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));

  const KeptTable& kept = KeptTableOf(hwnd);
  EXPECT_TRUE(kept.present);
  EXPECT_EQ(kept.path, path);
  EXPECT_EQ(kept.header.record_count, 4u);
  EXPECT_EQ(kept.header.header_length, 32u * 9 + 1);

  // The field list now shows the bold fixed-pitch font.
  HFONT font = reinterpret_cast<HFONT>(
      SendMessageA(MainControlWindow(hwnd, kFieldList), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA record = {};
  GetObjectA(font, sizeof record, &record);
  EXPECT_EQ(record.lfHeight, -15);
  EXPECT_EQ(record.lfWidth, 0);
  EXPECT_EQ(record.lfWeight, 700);
  EXPECT_EQ(record.lfItalic, 0);
  EXPECT_EQ(record.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(record.lfPitchAndFamily, FIXED_PITCH);
  EXPECT_STREQ(record.lfFaceName, "Terminal");
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kCatalogueList), WM_GETFONT, 0, 0),
      0);
}

TEST_P(Commands, ASecondTableReplacesTheFirstWithItsKeywords) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  OpenTable(hwnd, WriteTable("A.DBF", ContactLog()));
  DoubleClickCatalogue(hwnd, 5);  // CALL on the first column
  BuilderTable other;
  other.columns = {{"CALL", 'C', 8, 0}, {"BAND", 'C', 4, 0}};
  std::string second = WriteTable("B.DBF", other);
  SendMessageA(MainControlWindow(hwnd, kCatalogueList), LB_SETCURSEL, 7, 0);

  OpenTable(hwnd, second);

  std::vector<std::string> entries =
      ListItems(MainControlWindow(hwnd, kFieldList));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0],
            ComposeFieldListEntry("CALL", 'C', 8, 0, SkipWord(language())));
  EXPECT_EQ(FieldSelection(hwnd), 0);
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kCatalogueList), LB_GETCURSEL, 0, 0),
      0);
  EXPECT_EQ(KeptTableOf(hwnd).path, second);
  EXPECT_EQ(KeptTableOf(hwnd).header.record_count, 0u);
}

TEST_P(Commands, ATableWithoutColumnsLeavesTheConvertButtonAsItWas) {
  BuilderTable empty;  // header, terminator, no descriptor
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  HWND convert = MainControlWindow(hwnd, kConvertButton);

  OpenTable(hwnd, WriteTable("NONE.DBF", empty));
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kFieldList), LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(FieldSelection(hwnd), LB_ERR);
  EXPECT_FALSE(IsWindowEnabled(convert));
  EXPECT_NE(TextOf(MainControlWindow(hwnd, kInfoLine)), "");
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kCatalogueList), LB_GETCURSEL, 0, 0),
      0);

  OpenTable(hwnd, WriteTable("LOG.DBF", ContactLog()));
  OpenTable(hwnd, (folder_ / "NONE.DBF"));
  EXPECT_TRUE(IsWindowEnabled(convert));
}

TEST_P(Commands, ARefusedTableIsReportedAndLeavesNothingToConvert) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  OpenTable(hwnd, WriteTable("GOOD.DBF", ContactLog()));
  DoubleClickCatalogue(hwnd, 5);

  std::vector<std::uint32_t> memo_blocks;
  const struct {
    const char* name;
    std::string bytes;  // none: the file does not exist
    bool exists;
    // clang-format off
  } refused[] = {
      {"SHORT.DBF", std::string("\x03\x69\x06\x0E", 4), true},
      {"CUT.DBF", BuildTable(ContactLog()).substr(0, 100), true},
      {"GONE.DBF", "", false},
      // Files that are no table at all.
      {"LOG.CSV", "CALL,QSO_DATE,TIME_ON\r\nEA4ABC,20050614,0915\r\n"
                  "F6XYZ,20050614,0942\r\n", true},
      {"LOG.FPT", BuildMemoFile(MemoLayout::kFoxPro, {"a memo", "another"},
                                &memo_blocks), true},
  };
  // clang-format on
  for (const auto& file : refused) {
    SCOPED_TRACE(file.name);
    std::string path = (folder_ / file.name);
    if (file.exists) WriteFile(path, file.bytes);
    DbfLayout layout;
    TableError error;
    ASSERT_FALSE(ReadTableFile(SystemFileSystem(), path, &layout, &error));
    std::string expected = TableErrorText(path, error, language());

    CaughtMessage box = CatchMessageBox([&] { OpenTable(hwnd, path); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, expected);
    EXPECT_TRUE(box.has_icon);

    EXPECT_EQ(
        SendMessageA(MainControlWindow(hwnd, kFieldList), LB_GETCOUNT, 0, 0),
        0);
    EXPECT_EQ(TextOf(MainControlWindow(hwnd, kInfoLine)), "");
    EXPECT_FALSE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));
    EXPECT_FALSE(KeptTableOf(hwnd).present);
    EXPECT_EQ(TextOf(MainControlWindow(hwnd, kPathEdit)), path);

    // A Convert command that still arrives converts nothing.
    CaughtMessage none =
        CatchMessageBox([&] { SendCommand(hwnd, IDC_CONVERT); });
    EXPECT_FALSE(none.shown);
    EXPECT_EQ(ReadFile(DeriveOutputPath(path)), "");
    EXPECT_EQ(GetFileAttributesA((folder_ / "GOOD.ADI").c_str()),
              INVALID_FILE_ATTRIBUTES);
  }

  // A good table afterwards is listed as usual.
  OpenTable(hwnd, (folder_ / "GOOD.DBF"));
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kFieldList), LB_GETCOUNT, 0, 0), 8);
  EXPECT_TRUE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));
}

TEST_P(Commands, ADamagedHeaderIsSaidOnceAndTheTableStillListed) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  std::string table = BuildTable(ContactLog());
  table[10] = 5;  // a record length of 5: the columns take more
  table[11] = 0;
  std::string path = WriteTable("DAMAGED.DBF", ContactLog());
  WriteFile(path, table);
  DbfLayout layout;
  TableError error;
  HeaderDamage damage;
  ASSERT_TRUE(
      ReadTableFile(SystemFileSystem(), path, &layout, &error, &damage));
  ASSERT_TRUE(damage.record_length_differs);

  CaughtMessage box = CatchMessageBox([&] { OpenTable(hwnd, path); });
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.text, HeaderDamageTexts(path, damage, language())[0]);
  EXPECT_TRUE(box.has_icon);
  EXPECT_EQ(
      SendMessageA(MainControlWindow(hwnd, kFieldList), LB_GETCOUNT, 0, 0),
      static_cast<LRESULT>(layout.columns.size()));
  EXPECT_TRUE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));
  // A sound table opens without a box.
  CaughtMessage none = CatchMessageBox(
      [&] { OpenTable(hwnd, WriteTable("GOOD.DBF", ContactLog())); });
  EXPECT_FALSE(none.shown);
}

TEST_P(Commands, DoubleClicksAssignConsecutiveColumns) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  HWND fields = MainControlWindow(hwnd, kFieldList);

  // Before any table: nothing to assign to.
  DoubleClickCatalogue(hwnd, 5);
  EXPECT_EQ(SendMessageA(fields, LB_GETCOUNT, 0, 0), 0);

  BuilderTable table;
  table.columns = {
      {"CALLSIGN", 'C', 10, 0}, {"DATE", 'D', 8, 0}, {"OPNAME", 'C', 20, 0}};
  OpenTable(hwnd, WriteTable("THREE.DBF", table));
  std::vector<std::string> before = ListItems(fields);

  const int rows[] = {FindCatalogueRow("CALL", language()),
                      FindCatalogueRow("QSO_DATE", language()),
                      FindCatalogueRow("NAME", language())};
  const char* keywords[] = {"CALL", "QSO_DATE", "NAME"};
  for (int i = 0; i < 3; ++i) {
    DoubleClickCatalogue(hwnd, rows[i]);
    std::vector<std::string> now = ListItems(fields);
    ASSERT_EQ(now.size(), 3u);
    EXPECT_EQ(now[i], ReassignEntry(before[i], keywords[i]));
    EXPECT_EQ(FieldSelection(hwnd), i < 2 ? i + 1 : LB_ERR);
  }
  std::vector<std::string> assigned = ListItems(fields);

  // A fourth double-click, with no column selected, changes nothing.
  DoubleClickCatalogue(hwnd, FindCatalogueRow("BAND", language()));
  EXPECT_EQ(ListItems(fields), assigned);

  // A single click (selection change) only moves the catalogue selection.
  SendMessageA(fields, LB_SETCURSEL, 1, 0);
  SendMessageA(MainControlWindow(hwnd, kCatalogueList), LB_SETCURSEL, 2, 0);
  SendCommand(hwnd, IDC_CATALOGUE, LBN_SELCHANGE);
  EXPECT_EQ(ListItems(fields), assigned);
  EXPECT_EQ(FieldSelection(hwnd), 1);

  // The ignore row skips a column again; the column after it is selected.
  DoubleClickCatalogue(hwnd, 0);
  EXPECT_EQ(ListItems(fields)[1], before[1]);
  EXPECT_EQ(FieldSelection(hwnd), 2);
  EXPECT_EQ(ListItems(fields)[1].substr(kEntryKeywordPosition),
            SkipWord(language()));
}

TEST_P(Commands, ConvertWritesExactlyTheCommandLinesBytes) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  BuilderTable table = ContactLog();
  std::string input = WriteTable("LOG2005.DBF", table);
  OpenTable(hwnd, input);
  AssignThroughWindow(hwnd, table, kMapping, language());

  // Text typed into the path box changes nothing.
  SetWindowTextA(MainControlWindow(hwnd, kPathEdit),
                 (folder_ / "OTHER.DBF").c_str());
  // An earlier, longer output is replaced.
  std::string output = (folder_ / "LOG2005.ADI");
  WriteFile(output, std::string(5000, 'x'));

  CaughtMessage box = CatchMessageBox([&] { SendCommand(hwnd, IDC_CONVERT); });
  ASSERT_TRUE(box.shown);
  EXPECT_FALSE(box.forced);
  EXPECT_EQ(box.text, CompletionText(input, output, language()));
  EXPECT_FALSE(box.has_icon);
  EXPECT_EQ(TextOf(MainControlWindow(hwnd, kProgressLine)), "4/4");

  std::string written = ReadFile(output);
  std::string expected =
      CommandLineOutput(input, kMapping, language(), (folder_ / "CLI.ADI"));
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written.substr(0, AdifHeaderText(language()).size()),
            AdifHeaderText(language()));
  EXPECT_NE(written.find("<CALL:6>EA4ABC <TIME_ON:4>0915 <QSO_DATE:8>20050102 "
                         "<BAND:3>40M <NAME:10>Jos\xE9 Mar\xED"
                         "a <QSL_SENT:1>Y "
                         "<FREQ:9>    7.085 <EOR>\r\n"),
            std::string::npos);

  // Converting again gives the same bytes; the lists stay as they were.
  std::vector<std::string> entries =
      ListItems(MainControlWindow(hwnd, kFieldList));
  CaughtMessage again =
      CatchMessageBox([&] { SendCommand(hwnd, IDC_CONVERT); });
  EXPECT_TRUE(again.shown);
  EXPECT_EQ(ReadFile(output), written);
  EXPECT_EQ(ListItems(MainControlWindow(hwnd, kFieldList)), entries);
  EXPECT_TRUE(IsWindowEnabled(MainControlWindow(hwnd, kConvertButton)));
}

TEST_P(Commands, FailedConversionsAreReportedInsteadOfTheCompletion) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  BuilderTable table = ContactLog();
  const std::string full = BuildTable(table);

  struct Case {
    const char* name;
    const char* input_name;
    std::string bytes;
    const char* spanish_words;
    const char* english_words;
  };
  // A table cut inside its third record; an output that is a folder; an
  // input whose name already ends in ADI; a read-only earlier output.
  std::size_t record_length = 1 + 8 + 5 + 10 + 4 + 15 + 1 + 9 + 20;
  // clang-format off
  const Case cases[] = {
      {"truncated", "CUT.DBF", full.substr(0, 32 * 9 + 1 + 2 * record_length + 7),
       "termina tras el registro 2 de 4", "ends after record 2 of 4"},
      {"folder", "DIR.DBF", full, "No se puede crear", "Cannot create"},
      {"same file", "SAME.ADI", full, "sustituir\xED" "a a la entrada",
       "would replace the input"},
      {"read-only", "RO.DBF", full, "RO.ADI: es de solo lectura",
       "RO.ADI: it is read-only"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string input = (folder_ / c.input_name);
    WriteFile(input, c.bytes);
    if (std::string(c.name) == "folder")
      CreateDirectoryA(DeriveOutputPath(input).c_str(), nullptr);
    if (std::string(c.name) == "read-only") {
      WriteFile(DeriveOutputPath(input), "earlier");
      SetFileAttributesA(DeriveOutputPath(input).c_str(),
                         FILE_ATTRIBUTE_READONLY);
    }
    OpenTable(hwnd, input);
    AssignThroughWindow(hwnd, table, kMapping, language());

    CaughtMessage box =
        CatchMessageBox([&] { SendCommand(hwnd, IDC_CONVERT); });
    ASSERT_TRUE(box.shown);
    EXPECT_TRUE(box.has_icon);
    EXPECT_NE(
        box.text.find(Choose(language(), c.spanish_words, c.english_words)),
        std::string::npos)
        << box.text;
    EXPECT_EQ(box.text.find('\n'), std::string::npos) << "one line";
    EXPECT_EQ(ReadFile(input), c.bytes) << "the input is untouched";
  }
  // The read-only output is as it was, and said to be read-only.
  const std::string read_only = folder_ / "RO.ADI";
  EXPECT_EQ("earlier", ReadFile(read_only));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
            GetFileAttributesA(read_only.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
  // The truncated table kept its two complete records.
  std::string cut = ReadFile((folder_ / "CUT.ADI"));
  EXPECT_NE(cut.find("<CALL:6>DL1MUE"), std::string::npos);
  EXPECT_EQ(cut.find("<EOR>\r\n<CALL:6>I2XYZ"), std::string::npos);
}

TEST_P(Commands, ALargeTableEndsOnTheLastRecordNumber) {
  TestWindow window(language());
  HWND hwnd = window.hwnd();
  BuilderTable table;
  table.columns = {{"CALL", 'C', 8, 0}, {"BAND", 'C', 4, 0}};
  for (int i = 0; i < 20000; ++i)
    table.rows.push_back({"EA" + std::to_string(i), "20M"});
  OpenTable(hwnd, WriteTable("BIG.DBF", table));
  DoubleClickCatalogue(hwnd, FindCatalogueRow("CALL", language()));
  CaughtMessage box = CatchMessageBox([&] { SendCommand(hwnd, IDC_CONVERT); });
  ASSERT_TRUE(box.shown);
  EXPECT_FALSE(box.has_icon);
  EXPECT_EQ(TextOf(MainControlWindow(hwnd, kProgressLine)), "20000/20000");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Commands,
                         testing::Values(kSpanish, kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                           return info.param == kEnglish ? "English"
                                                         : "Spanish";
                         });

TEST(AboutCommand, ShowsTheSameDialogInBothLanguagesAndClosesOnEscape) {
  for (Language language : {kSpanish, kEnglish}) {
    TestWindow window(language);
    HWND hwnd = window.hwnd();
    bool focus_on_ok = false, owner_disabled = false;
    DialogAnswer answer("Acerca de...", [&](HWND dialog) {
      focus_on_ok = GetFocus() == GetDlgItem(dialog, IDOK);
      owner_disabled = !IsWindowEnabled(hwnd);
      PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    // The accelerator's form of the command (high word 1) acts the same.
    SendCommand(hwnd, IDC_ABOUT, 1);
    EXPECT_TRUE(answer.answered()) << "language " << static_cast<int>(language);
    EXPECT_FALSE(answer.forced()) << "Esc closes it";
    EXPECT_TRUE(focus_on_ok);
    EXPECT_TRUE(owner_disabled);
    EXPECT_TRUE(IsWindowEnabled(hwnd));
  }
}

TEST(ExitCommand, DestroysTheWindowAndQuitsWithZero) {
  TestWindow window(kEnglish);
  HWND hwnd = window.hwnd();
  SendCommand(hwnd, IDC_EXIT);
  EXPECT_FALSE(IsWindow(hwnd));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

}  // namespace
