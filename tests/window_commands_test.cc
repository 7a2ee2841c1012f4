#include "app/window_commands.h"

#include <gtest/gtest.h>

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
  ASSERT_TRUE(model.about.canvas.ColorAt(0, 3, &color));
  EXPECT_EQ(color, (Rgb{101, 96, 91}));
}

}  // namespace
}  // namespace kestrova
