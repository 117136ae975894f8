// field_list.h: the field list, one text line per table column that carries
// the ADIF keyword assigned to the column, and the assignment of keywords.
//
// The entry text is the only store of the column-to-keyword mapping: the
// conversion reads each column's size and keyword back from it. The lists the
// user sees are, to this code, a sequence of texts with an optional selected
// index (TextList); the window program binds it to its list boxes, the command
// line and the tests use VectorTextList.

#ifndef LOGWEAVE_DBF_FIELD_LIST_H_
#define LOGWEAVE_DBF_FIELD_LIST_H_

#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "dbf/language.h"

/// The keyword of an entry always starts at this character position.
constexpr std::size_t kEntryKeywordPosition = 38;

/// Composes an entry with "%-12s  %c  %9i %10i %s".
std::string ComposeFieldListEntry(std::string_view name, unsigned char type,
                                  int length, int decimals,
                                  std::string_view keyword);

/// The entry of one column, carrying \a keyword. Names that are empty or hold
/// white space or control bytes, and type bytes that are NUL, white space or
/// control bytes, are shown with placeholders ("?" for an empty name, "_" for
/// each such byte) so that every entry reads back to its true size and
/// keyword.
std::string ColumnEntry(const DbfFieldDescriptor& column,
                        std::string_view keyword);

/// The first 38 characters of \a entry followed by \a keyword.
std::string ReassignEntry(std::string_view entry, std::string_view keyword);

/// What the conversion reads back from an entry: the third white-space
/// separated token as the size (read like atoi) and the fifth as the keyword;
/// a token the text lacks stays empty (size 0).
struct EntryColumn {
  int size = 0;
  std::string keyword;
};
EntryColumn ReadFieldListEntry(std::string_view entry);

/// A sequence of texts with an optional selected index. Indexes count from 0;
/// kNoSelection means nothing is selected.
class TextList {
 public:
  static constexpr int kNoSelection = -1;
  virtual ~TextList() = default;
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  /// Removes every text; nothing is selected afterwards.
  virtual void Reset() = 0;
  /// Appends a text at the end.
  virtual void Add(std::string_view text) = 0;
  /// Inserts before the text at \a index (at the end when it equals Count());
  /// a selected text at or after \a index moves with its text.
  virtual void Insert(int index, std::string_view text) = 0;
  /// Removes the text at \a index; if it was selected, nothing is selected.
  virtual void Delete(int index) = 0;
  virtual int Selected() const = 0;
  /// Selects \a index; an index outside the list changes nothing.
  virtual void Select(int index) = 0;
};

/// TextList held in memory.
class VectorTextList : public TextList {
 public:
  VectorTextList() = default;
  explicit VectorTextList(std::vector<std::string> texts)
      : texts_(std::move(texts)) {}
  int Count() const override { return static_cast<int>(texts_.size()); }
  std::string Get(int index) const override;
  void Reset() override;
  void Add(std::string_view text) override;
  void Insert(int index, std::string_view text) override;
  void Delete(int index) override;
  int Selected() const override { return selected_; }
  void Select(int index) override;
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
  int selected_ = kNoSelection;
};

/// Every text of \a list, in order.
std::vector<std::string> AllTexts(const TextList& list);

/// Fills \a field_list with one entry per column of \a layout, each carrying
/// the skip word, and selects the first entry (when there is one).
void ListColumns(const DbfLayout& layout, Language language,
                 TextList* field_list);

/// The assignment on a double-click in the catalogue: the selected field entry
/// takes the keyword of the selected catalogue text, and the selection moves
/// to the next column (none after the last). Does nothing when either list
/// has no selection.
void Assign(TextList* field_list, const TextList& catalogue_list);

#endif  // LOGWEAVE_DBF_FIELD_LIST_H_
