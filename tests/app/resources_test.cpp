// resources_test.cpp: the compiled resources, read back byte by byte: the
// two dialog templates, the accelerator table, the icon, and their language.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resource.h"

namespace {

const WORD kSpanishSpain = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);

// The bytes of a resource tagged Spanish (Spain); empty when there is none.
std::string ResourceBytes(LPCSTR type, LPCSTR name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, type, name, kSpanishSpain);
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const char* data = static_cast<const char*>(LockResource(loaded));
  return std::string(data, SizeofResource(module, found));
}

// Reads a classic dialog template.
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}
  WORD Word() {
    WORD value = 0;
    if (at_ + 2 <= bytes_.size())
      value =
          static_cast<WORD>(static_cast<unsigned char>(bytes_[at_]) |
                            static_cast<unsigned char>(bytes_[at_ + 1]) << 8);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  short Short() { return static_cast<short>(Word()); }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); c != 0 && at_ <= bytes_.size(); c = Word())
      text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or ordinal: "#N" for an ordinal.
  std::wstring NameOrOrdinal() {
    std::size_t start = at_;
    if (Word() == 0xFFFF) return L"#" + std::to_wstring(Word());
    at_ = start;
    return String();
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<std::size_t>(3); }
  bool AtEnd() const { return at_ >= bytes_.size(); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

struct ExpectedItem {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  std::wstring class_name;  // "#128" button, "#130" static
  std::wstring text;        // "#107" for the icon
};

struct ExpectedTemplate {
  int resource;
  DWORD style;
  short x, y, cx, cy;
  std::wstring caption;
  WORD point_size;
  std::wstring face;
  std::vector<ExpectedItem> items;
};

const std::wstring kButton = L"#128", kStatic = L"#130";

// clang-format off
const ExpectedTemplate kTemplates[] = {
    {IDD_LANGUAGE, 0x80C000C0, 44, 34, 197, 53, L"LogWeave", 8,
     L"MS Sans Serif",
     {
         {0x50010001, 135, 33, 50, 14, IDOK, kButton, L"OK"},
         {0x50000009, 7, 6, 76, 9, IDC_SPANISH, kButton,
          L"Versi\u00F3n castellano"},
         {0x50000009, 8, 29, 70, 10, IDC_ENGLISH, kButton, L"English Version"},
         {0x50000003, 150, 4, 27, 25, 2, kStatic, L"#107"},
         {0x5002000C, 19, 14, 115, 10, 0xFFFF, kStatic,
          L"Conversi\u00F3n DBF a Formato ADIF"},
         {0x5002000C, 19, 38, 115, 10, 0xFFFF, kStatic,
          L"Convert any DBF file to ADIF"},
     }},
    // The credit lines' words are the project's own; their places and
    // styles are checked, their texts only for being there.
    {IDD_ABOUT, 0x00C800C0, 22, 17, 145, 94, L"Acerca de...", 8, L"System",
     {
         {0x50000003, 13, 8, 20, 20, 2, kStatic, L"#107"},
         {0x5002000C, 37, 12, 100, 8, 0xFFFF, kStatic, L"*"},
         {0x50030001, 101, 70, 30, 11, IDOK, kButton, L"OK"},
         {0x5002000C, 37, 26, 83, 8, 0xFFFF, kStatic, L"*"},
         {0x50020000, 37, 34, 85, 9, 0xFFFF, kStatic, L"*"},
         {0x50020000, 37, 43, 94, 10, 0xFFFF, kStatic, L"*"},
         {0x50020000, 37, 53, 63, 9, 0xFFFF, kStatic, L"*"},
         {0x50020000, 37, 62, 39, 10, 0xFFFF, kStatic, L"*"},
     }},
};
// clang-format on

class DialogTemplate : public testing::TestWithParam<ExpectedTemplate> {};

TEST_P(DialogTemplate, HoldsEveryValueOfItsTable) {
  const ExpectedTemplate& expected = GetParam();
  std::string bytes =
      ResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(expected.resource));
  ASSERT_FALSE(bytes.empty())
      << "no Spanish (Spain) dialog " << expected.resource;
  TemplateReader in(bytes);
  EXPECT_EQ(in.Dword(), expected.style);
  EXPECT_EQ(in.Dword(), 0u) << "extended style";
  WORD count = in.Word();
  ASSERT_EQ(count, expected.items.size());
  EXPECT_EQ(in.Short(), expected.x);
  EXPECT_EQ(in.Short(), expected.y);
  EXPECT_EQ(in.Short(), expected.cx);
  EXPECT_EQ(in.Short(), expected.cy);
  EXPECT_EQ(in.NameOrOrdinal(), L"") << "menu";
  EXPECT_EQ(in.NameOrOrdinal(), L"") << "dialog class";
  EXPECT_EQ(in.String(), expected.caption);
  EXPECT_EQ(in.Word(), expected.point_size);
  EXPECT_EQ(in.String(), expected.face);
  for (const ExpectedItem& item : expected.items) {
    SCOPED_TRACE(testing::Message() << "control id " << item.id);
    in.AlignDword();
    EXPECT_EQ(in.Dword(), item.style);
    EXPECT_EQ(in.Dword(), 0u) << "extended style";
    EXPECT_EQ(in.Short(), item.x);
    EXPECT_EQ(in.Short(), item.y);
    EXPECT_EQ(in.Short(), item.cx);
    EXPECT_EQ(in.Short(), item.cy);
    EXPECT_EQ(in.Word(), item.id);
    EXPECT_EQ(in.NameOrOrdinal(), item.class_name);
    std::wstring text = in.NameOrOrdinal();
    if (item.text == L"*")
      EXPECT_FALSE(text.empty());
    else
      EXPECT_EQ(text, item.text);
    EXPECT_EQ(in.Word(), 0) << "creation data";
  }
  in.AlignDword();
  EXPECT_TRUE(in.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Both, DialogTemplate, testing::ValuesIn(kTemplates),
    [](const testing::TestParamInfo<ExpectedTemplate>& info) {
      return info.param.resource == IDD_LANGUAGE ? "Language140" : "About103";
    });

TEST(Accelerators, IdcLogHoldsItsFourEntries) {
  std::string bytes = ResourceBytes(RT_ACCELERATOR, "IDC_LOG");
  ASSERT_EQ(bytes.size(), 4u * 8u);
  struct Entry {
    WORD flags, key, command;
  };
  const Entry expected[] = {{0x12, '.', IDC_BROWSE},
                            {0x13, 'A', IDC_ABOUT},
                            {0x12, 'a', IDC_ABOUT},
                            {0x92, 's', IDC_EXIT}};
  TemplateReader in(bytes);
  for (const Entry& entry : expected) {
    EXPECT_EQ(in.Word(), entry.flags);
    EXPECT_EQ(in.Word(), entry.key);
    EXPECT_EQ(in.Word(), entry.command);
    in.Word();  // padding
  }
  EXPECT_NE(LoadAcceleratorsA(GetModuleHandleA(nullptr), "IDC_LOG"), nullptr);
  EXPECT_EQ(LoadAcceleratorsA(GetModuleHandleA(nullptr), "CONVERSION"),
            nullptr);
}

TEST(Icon, IsOne32By32SixteenColourImage) {
  std::string group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP));
  ASSERT_EQ(group.size(), 6u + 14u);
  TemplateReader in(group);
  EXPECT_EQ(in.Word(), 0);  // reserved
  EXPECT_EQ(in.Word(), 1);  // icon
  EXPECT_EQ(in.Word(), 1);  // one image
  WORD size = in.Word();
  EXPECT_EQ(size & 0xFF, 32);
  EXPECT_EQ(size >> 8, 32);
  EXPECT_EQ(in.Word(), 16);  // colours, reserved
  EXPECT_EQ(in.Word(), 1);   // planes
  EXPECT_EQ(in.Word(), 4);   // bits per pixel
  EXPECT_EQ(in.Dword(), 744u);
  EXPECT_EQ(in.Word(), 1);  // icon image 1

  std::string image = ResourceBytes(RT_ICON, MAKEINTRESOURCEA(1));
  ASSERT_EQ(image.size(), 744u);
  TemplateReader header(image);
  EXPECT_EQ(header.Dword(), 40u);
  EXPECT_EQ(header.Dword(), 32u);
  EXPECT_EQ(header.Dword(), 64u);  // colour bits and mask
  EXPECT_EQ(header.Word(), 1);
  EXPECT_EQ(header.Word(), 4);

  // The picture uses black, white, grey, blue and yellow, every one of them.
  std::set<unsigned long> colours;
  const unsigned char* palette =
      reinterpret_cast<const unsigned char*>(image.data()) + 40;
  const unsigned char* bits = palette + 64;
  const unsigned char* mask = bits + 512;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (mask[y * 4 + x / 8] & (0x80 >> (x % 8))) continue;  // transparent
      int index = (bits[y * 16 + x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
      const unsigned char* bgr = palette + 4 * index;
      colours.insert(bgr[2] << 16 | bgr[1] << 8 | bgr[0]);
    }
  const std::set<unsigned long> expected = {0x000000, 0xFFFFFF, 0x808080,
                                            0x000080, 0xFFFF00};
  EXPECT_EQ(colours, expected);
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP)),
            nullptr);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language,
                              LONG_PTR data) {
  reinterpret_cast<std::set<WORD>*>(data)->insert(language);
  return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCSTR type, LPSTR name,
                          LONG_PTR data) {
  EnumResourceLanguagesA(module, type, name, CollectLanguage, data);
  return TRUE;
}

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR data) {
  auto* types = reinterpret_cast<std::set<ULONG_PTR>*>(data);
  types->insert(IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : 0);
  return TRUE;
}

TEST(Resources, AreTheFourKindsAllTaggedSpanishSpain) {
  HMODULE module = GetModuleHandleA(nullptr);
  std::set<ULONG_PTR> types;
  EnumResourceTypesA(module, CollectType, reinterpret_cast<LONG_PTR>(&types));
  const std::set<ULONG_PTR> expected = {
      reinterpret_cast<ULONG_PTR>(RT_ICON),
      reinterpret_cast<ULONG_PTR>(RT_DIALOG),
      reinterpret_cast<ULONG_PTR>(RT_ACCELERATOR),
      reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON)};
  EXPECT_EQ(types, expected) << "no menu, string table or version resource";
  std::set<WORD> languages;
  for (ULONG_PTR type : types)
    EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(type), CollectName,
                       reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::set<WORD>{3082});
}

}  // namespace
