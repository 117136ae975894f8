// list_box.cpp: TextList over LB_* messages.

#include "app/list_box.h"

#include <string>

int ListBoxTextList::Count() const {
  LRESULT count = SendMessageA(list_box_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string ListBoxTextList::Get(int index) const {
  LRESULT length = SendMessageA(list_box_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(list_box_, LB_GETTEXT, index,
                                reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

void ListBoxTextList::Reset() {
  SendMessageA(list_box_, LB_RESETCONTENT, 0, 0);
}

void ListBoxTextList::Add(std::string_view text) {
  std::string copy(text);
  SendMessageA(list_box_, LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(copy.c_str()));
}

void ListBoxTextList::Insert(int index, std::string_view text) {
  std::string copy(text);
  SendMessageA(list_box_, LB_INSERTSTRING, index,
               reinterpret_cast<LPARAM>(copy.c_str()));
}

void ListBoxTextList::Delete(int index) {
  SendMessageA(list_box_, LB_DELETESTRING, index, 0);
}

int ListBoxTextList::Selected() const {
  LRESULT selected = SendMessageA(list_box_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? kNoSelection : static_cast<int>(selected);
}

void ListBoxTextList::Select(int index) {
  // A list box would clear its selection for an index past the end; the
  // list model leaves it alone.
  if (index < 0 || index >= Count()) return;
  SendMessageA(list_box_, LB_SETCURSEL, index, 0);
}
