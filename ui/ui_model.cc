#include "ui/ui_model.h"

#include <utility>

namespace kestrova {

const std::string& EntryList::At(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= Count()) return kEmpty;
  return items_[static_cast<size_t>(index)];
}

void EntryList::Set(int index, std::string text) {
  if (index < 0 || index > Count()) return;
  if (index == Count()) {
    items_.push_back(std::move(text));
  } else {
    items_[static_cast<size_t>(index)] = std::move(text);
  }
  ++revision_;
}

void EntryList::Clear() {
  items_.clear();
  ++revision_;
}

void EntryList::Assign(std::vector<std::string> items) {
  items_ = std::move(items);
  ++revision_;
}

std::vector<std::string> EntryList::Take() {
  ++revision_;
  return std::exchange(items_, {});
}

}  // namespace kestrova
