#include "app/window_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/startup.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/options_panel.h"
#include "sift/sift_list.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ModelWith;
using testing::TempDir;
using testing::WriteBytes;

TEST(ClearListTest, ResetsListCountAndScanBarOnly) {
  for (const auto& entries : {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
    MainWindowModel model = ModelWith(entries);
    model.label1 = "/list.txt";
    model.progress_bar1.value = 50;
    model.progress_bar2.value = 2;
    ClearList(model);
    EXPECT_EQ(model.list1.Count(), 0);
    EXPECT_EQ(model.label3, "0");
    EXPECT_EQ(model.progress_bar1.value, 0);
    EXPECT_EQ(model.progress_bar2.value, 2);
    EXPECT_EQ(model.label1, "/list.txt");
  }
}

TEST(DispatchToolbarButtonTest, ActsByKey) {
  TempDir dir;
  WriteBytes(dir.File("l.txt"), "1.2.3.4:80\r\n");
  MainWindowModel model;
  FakePlatform platform;

  DispatchToolbarButton(model, platform, "");
  DispatchToolbarButton(model, platform, "open");
  EXPECT_TRUE(platform.dialogs.empty());
  EXPECT_TRUE(platform.messages.empty());

  platform.answers = {dir.File("l.txt")};
  DispatchToolbarButton(model, platform, "Open");
  EXPECT_EQ(model.label3, "1");

  model.list1.Set(1, "5.6.7.8:80");
  DispatchToolbarButton(model, platform, "Save");
  EXPECT_EQ(testing::ReadBytes(dir.File("l.txt")), "1.2.3.4:80\r\n5.6.7.8:80\r\n");

  DispatchToolbarButton(model, platform, "Help");
  EXPECT_EQ(platform.messages, std::vector<std::string>{"Add 'Help' button code."});

  // A failing Save from the toolbar still says so.
  model.label1 = dir.File("no/such/folder.txt");
  DispatchToolbarButton(model, platform, "Save");
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_NE(platform.messages[1].find("folder.txt"), std::string::npos);
}

// Each command a menu, a key or a button names runs its own action and no
// other: the same window state after RunWindowCommand as after the action.
TEST(RunWindowCommandTest, EachCommandRunsItsOwnAction) {
  using Action = std::function<void(MainWindowModel&, Platform&)>;
  const std::pair<WindowCommand, Action> cases[] = {
      {WindowCommand::kNone, [](MainWindowModel&, Platform&) {}},
      {WindowCommand::kOpenList, [](auto& m, auto& p) { OpenList(m, p); }},
      {WindowCommand::kCloseList, [](auto& m, auto&) { CloseList(m); }},
      {WindowCommand::kSaveList, [](auto& m, auto& p) { SaveList(m, p); }},
      {WindowCommand::kSaveListAs, [](auto& m, auto& p) { SaveListAs(m, p); }},
      {WindowCommand::kUnloadMainWindow, [](auto& m, auto& p) { UnloadMainWindow(m, p); }},
      {WindowCommand::kShowAbout, [](auto& m, auto&) { ShowAbout(m); }},
      {WindowCommand::kQuitImmediately, [](auto& m, auto&) { QuitImmediately(m); }},
      {WindowCommand::kClearList, [](auto& m, auto&) { ClearList(m); }},
      {WindowCommand::kShowOptionsPanel, [](auto& m, auto&) { ShowOptionsPanel(m); }},
      {WindowCommand::kSiftList, [](auto& m, auto&) { SiftList(m); }},
      {WindowCommand::kApplyOptions, [](auto& m, auto& p) { ApplyOptions(m, p); }},
      {WindowCommand::kHideAbout, [](auto& m, auto&) { HideAbout(m); }},
  };
  // What tells the actions apart, read after each.
  auto state = [](const TempDir& dir, const MainWindowModel& m, const FakePlatform& p) {
    std::string text;
    for (int i = 0; i < m.list1.Count(); ++i) text += std::string(m.list1.At(i)) + ";";
    return text + "|" + m.label3 + "|" + std::to_string(m.progress_bar1.value) + "|" +
           std::to_string(static_cast<int>(m.about.state)) + "|" +
           std::to_string(m.about.generation) + "|" +
           std::to_string(static_cast<int>(m.end_request)) + "|" +
           std::to_string(m.frame1_visible) + "|" + std::to_string(p.dialogs.size()) + "|" +
           std::to_string(p.setting_writes) + "|" + std::to_string(p.messages.size()) + "|" +
           testing::ReadBytes(dir.File("l.txt")) + "|" +
           std::to_string(std::filesystem::exists(testing::FsPath(dir.File("options.pr"))));
  };
  for (const auto& [command, action] : cases) {
    for (const AboutState about : {AboutState::kNotCreated, AboutState::kShown}) {
      SCOPED_TRACE(static_cast<int>(command));
      std::string after[2];
      for (int run = 0; run < 2; ++run) {
        TempDir dir;
        WriteBytes(dir.File("l.txt"), "old\r\n");
        MainWindowModel model = ModelWith({"1.2.3.4:80", "junk", "www.x.example:80"});
        model.label1 = dir.File("l.txt");
        model.progress_bar1.value = 50;
        model.check2 = 1;
        model.about.state = about;
        FakePlatform platform(dir.File("options.pr"));
        if (run == 0) {
          RunWindowCommand(command, model, platform);
        } else {
          action(model, platform);
        }
        after[run] = state(dir, model, platform);
      }
      EXPECT_EQ(after[0], after[1]);
    }
  }
}

TEST(AboutTest, ThreeStates) {
  MainWindowModel model;
  ShowAbout(model);
  EXPECT_EQ(model.about.state, AboutState::kShown);
  EXPECT_EQ(model.about.generation, 1);
  const auto painted = model.about.canvas.Revision();
  EXPECT_EQ(painted, 4998u);

  ShowAbout(model);  // already shown: nothing changes
  HideAbout(model);
  EXPECT_EQ(model.about.state, AboutState::kHidden);
  ShowAbout(model);  // the same window, not painted again
  EXPECT_EQ(model.about.state, AboutState::kShown);
  EXPECT_EQ(model.about.generation, 1);
  EXPECT_EQ(model.about.canvas.Revision(), painted);

  DestroyAbout(model);
  ShowAbout(model);  // a new window, painted again
  EXPECT_EQ(model.about.generation, 2);
  EXPECT_EQ(model.about.canvas.Revision(), 4998u);
  Rgb color;
  ASSERT_TRUE(testing::ColorAt(model.about.canvas, 0, 3, &color));
  EXPECT_EQ(color, (Rgb{101, 96, 91}));
}

}  // namespace
}  // namespace kestrova
