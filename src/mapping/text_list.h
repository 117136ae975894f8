// text_list.h: the lists the user sees are, to the core, a sequence of
// texts with an optional selected index. The window program binds one to
// each of its list boxes; the command line and the tests hold theirs in
// memory.

#ifndef LOGWEAVE_MAPPING_TEXT_LIST_H_
#define LOGWEAVE_MAPPING_TEXT_LIST_H_

#include <string>
#include <string_view>
#include <vector>

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

#endif  // LOGWEAVE_MAPPING_TEXT_LIST_H_
