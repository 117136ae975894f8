// list_box.h: the core's text list bound to a Win32 list box, so the field
// list assignment and the conversion run unchanged on the real controls.

#ifndef LOGWEAVE_APP_LIST_BOX_H_
#define LOGWEAVE_APP_LIST_BOX_H_

#include <windows.h>

#include "mapping/text_list.h"

/// A TextList whose texts are the entries of an unsorted, single-selection
/// list box, driven with LB_* messages.
class ListBoxTextList : public TextList {
 public:
  explicit ListBoxTextList(HWND list_box = nullptr) : list_box_(list_box) {}
  void Bind(HWND list_box) { list_box_ = list_box; }
  HWND list_box() const { return list_box_; }

  int Count() const override;
  std::string Get(int index) const override;
  void Reset() override;
  void Add(std::string_view text) override;
  void Insert(int index, std::string_view text) override;
  void Delete(int index) override;
  int Selected() const override;
  void Select(int index) override;

 private:
  HWND list_box_;
};

#endif  // LOGWEAVE_APP_LIST_BOX_H_
