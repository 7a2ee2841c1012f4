#include "ui/ui_model.h"

#include "base/text_set.h"

namespace kestrova {

std::string_view EntryList::At(int index) const {
  if (index < 0 || index >= Count()) return {};
  return View(spans_[static_cast<size_t>(index)]);
}

void EntryList::Set(int index, std::string_view text) {
  if (index < 0 || index > Count()) return;
  const Span span{bytes_.size(), text.size()};
  bytes_.append(text);
  if (index == Count()) {
    spans_.push_back(span);
  } else {
    spans_[static_cast<size_t>(index)] = span;
    in_order_ = false;
  }
  ++revision_;
}

void EntryList::Clear() {
  bytes_.clear();
  spans_.clear();
  in_order_ = true;
  ++revision_;
}

void EntryList::Assign(const std::vector<std::string>& items) {
  Clear();
  for (const std::string& item : items) Set(Count(), item);
}

std::vector<std::string> EntryList::Items() const {
  std::vector<std::string> items;
  items.reserve(spans_.size());
  for (const Span& span : spans_) items.emplace_back(View(span));
  return items;
}

void EntryList::Normalize() {
  if (in_order_) return;
  std::string bytes;
  bytes.reserve(bytes_.size());
  for (Span& span : spans_) {
    const size_t offset = bytes.size();
    bytes.append(View(span));
    span.offset = offset;
  }
  bytes_ = std::move(bytes);
  in_order_ = true;
}

void EntryList::DropRepeats() {
  Normalize();
  TextSet seen;
  // Sized once for a list of plain entries: growing it step by step costs
  // several times the pass itself where fresh memory is slow (Wine).
  seen.ReserveKeys(spans_.size());
  size_t placed = 0;
  size_t end = 0;
  for (const Span span : spans_) {
    if (!seen.Insert(View(span))) continue;
    if (end != span.offset) {
      std::memmove(bytes_.data() + end, bytes_.data() + span.offset, span.size);
    }
    spans_[placed++] = {end, span.size};
    end += span.size;
  }
  spans_.resize(placed);
  bytes_.resize(end);
  ++revision_;
}

}  // namespace kestrova
