// text_list.cpp: the text list held in memory.

#include "mapping/text_list.h"

std::string VectorTextList::Get(int index) const {
  if (index < 0 || index >= Count()) return std::string();
  return texts_[index];
}

void VectorTextList::Reset() {
  texts_.clear();
  selected_ = kNoSelection;
}

void VectorTextList::Add(std::string_view text) { texts_.emplace_back(text); }

void VectorTextList::Insert(int index, std::string_view text) {
  if (index < 0 || index > Count()) index = Count();
  texts_.emplace(texts_.begin() + index, text);
  if (selected_ != kNoSelection && selected_ >= index) ++selected_;
}

void VectorTextList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  texts_.erase(texts_.begin() + index);
  if (selected_ == index)
    selected_ = kNoSelection;
  else if (selected_ > index)
    --selected_;
}

void VectorTextList::Select(int index) {
  if (index >= 0 && index < Count()) selected_ = index;
}

std::vector<std::string> AllTexts(const TextList& list) {
  std::vector<std::string> texts;
  int count = list.Count();
  texts.reserve(count);
  for (int i = 0; i < count; ++i) texts.push_back(list.Get(i));
  return texts;
}
