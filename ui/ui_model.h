// The main window's state, as plain data. Every command works on this model;
// the Qt binding shows it and forwards user input into it, nothing more.
#ifndef KESTROVA_UI_UI_MODEL_H_
#define KESTROVA_UI_UI_MODEL_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/canvas.h"

namespace kestrova {

// Most entries the import stores; also the fill gauge's maximum.
inline constexpr int kListCapacity = 32765;

// List1: the entries, each kept as the bytes it had in its file.
class EntryList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // An index at or past the end reads as the empty text.
  const std::string& At(int index) const;
  // Below Count() replaces that entry; equal to Count() appends.
  void Set(int index, std::string text);
  void Clear();
  // Replaces every entry at once (used by bulk rebuilds).
  void Assign(std::vector<std::string> items);
  // Hands the entries over for a rebuild, leaving the list empty.
  std::vector<std::string> Take();
  const std::vector<std::string>& Items() const { return items_; }
  // Bumped on every change, so a view can tell when to reload.
  std::uint64_t Revision() const { return revision_; }

 private:
  std::vector<std::string> items_;
  std::uint64_t revision_ = 0;
};

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

// How the running program was asked to end, if at all.
enum class EndRequest { kNone, kAfterUnload, kImmediately };

struct MainWindowModel {
  EntryList list1;
  std::string label1;       // path of the current list file (bytes)
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
  EndRequest end_request = EndRequest::kNone;

  // The count written the way every command writes it.
  void SetCount(long long count) { label3 = std::to_string(count); }
};

}  // namespace kestrova

#endif  // KESTROVA_UI_UI_MODEL_H_
