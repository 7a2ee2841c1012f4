// The main window's state, as plain data. Every command works on this model;
// the Qt binding shows it and forwards user input into it, nothing more.
#ifndef KESTROVA_UI_UI_MODEL_H_
#define KESTROVA_UI_UI_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "ui/canvas.h"

namespace kestrova {

// Most entries the import stores; also the fill gauge's maximum.
inline constexpr int kListCapacity = 32765;

// List1: the entries, each kept as the bytes it had in its file. They live
// side by side in one buffer, so a full list costs a few allocations, not one
// per entry, and bulk rebuilds move bytes within it.
class EntryList {
 public:
  int Count() const { return static_cast<int>(spans_.size()); }
  // An index at or past the end reads as the empty text.
  std::string_view At(int index) const;
  // Below Count() replaces that entry; equal to Count() appends.
  void Set(int index, std::string_view text);
  void Clear();
  // Replaces every entry at once.
  void Assign(const std::vector<std::string>& items);
  // A copy of the entries.
  std::vector<std::string> Items() const;
  // Bumped on every change, so a view can tell when to reload.
  std::uint64_t Revision() const { return revision_; }

  // Keeps, in order, each of the first `limit` entries for which `cut`
  // returns a length, cut to that many bytes (a prefix); drops the rest.
  template <typename Cut>
  void KeepPrefixes(size_t limit, Cut cut);
  // Keeps only the first of entries that are equal, in order.
  void DropRepeats();

 private:
  struct Span {
    size_t offset;
    size_t size;
  };
  std::string_view View(const Span& span) const { return {bytes_.data() + span.offset, span.size}; }
  // Lays the entries out in list order again, after a replacement.
  void Normalize();

  std::string bytes_;
  std::vector<Span> spans_;
  bool in_order_ = true;  // each entry starts where the one before ends
  std::uint64_t revision_ = 0;
};

template <typename Cut>
void EntryList::KeepPrefixes(size_t limit, Cut cut) {
  Normalize();
  // Kept bytes only ever move towards the front, over bytes already read.
  size_t kept = 0;
  size_t end = 0;
  for (size_t i = 0; i < spans_.size() && i < limit; ++i) {
    const Span span = spans_[i];
    const auto length = cut(View(span));
    if (!length) continue;
    if (end != span.offset) std::memmove(bytes_.data() + end, bytes_.data() + span.offset, *length);
    spans_[kept++] = {end, *length};
    end += *length;
  }
  spans_.resize(kept);
  bytes_.resize(end);
  ++revision_;
}

struct ProgressBarState {
  float value = 0;
  float maximum = 100;
  bool visible = true;
};

// Window placement in twips; state 0 normal, 1 minimised, 2 maximised.
struct Placement {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  int window_state = 0;
};

enum class AboutState { kNotCreated, kShown, kHidden };

struct AboutWindowModel {
  AboutState state = AboutState::kNotCreated;
  Canvas canvas;
  // How many times the window has been created; the view recreates its
  // widget when this moves.
  int generation = 0;
};

// dlgCommonDialog, the file chooser all file commands share: where the last
// one was left, for the next to start there.
struct ChooserState {
  bool used = false;  // shown at least once in this run
  std::string folder;
  std::string name;  // the file name last chosen; empty after a cancel
};

// How the running program was asked to end, if at all.
enum class EndRequest { kNone, kAfterUnload, kImmediately };

struct MainWindowModel {
  EntryList list1;
  std::string label1;        // path of the current list file (bytes)
  std::string label3 = "0";  // the entry count, decimal text
  int check1 = 0;
  int check2 = 0;
  int check3 = 0;
  int check4 = 0;
  std::string combo1_text = "Серый";  // tint name, UTF-8
  ProgressBarState progress_bar1{0, 100, true};
  ProgressBarState progress_bar2{0, kListCapacity, true};

  // Views: the list view shows these, the options view shows frame1.
  bool list1_visible = true;
  bool command1_visible = true;
  bool command2_visible = true;
  bool command3_visible = true;
  bool command4_visible = true;
  bool frame1_visible = false;

  Placement placement;
  Canvas canvas;  // the painted tint of the main window
  AboutWindowModel about;
  ChooserState dlg_common_dialog;
  EndRequest end_request = EndRequest::kNone;

  // The count written the way every command writes it.
  void SetCount(long long count) { label3 = std::to_string(count); }
};

}  // namespace kestrova

#endif  // KESTROVA_UI_UI_MODEL_H_
