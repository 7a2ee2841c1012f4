#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/window_commands.h"
#include "options/tints.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::TempDir;
using testing::WriteBytes;

// The tint that the topmost line at twip row 100 shows, by its colour.
std::string PaintedTint(const Canvas& canvas) {
  Rgb color;
  if (!testing::ColorAt(canvas, 0, 100, &color)) return "none";
  for (const TintScheme& t : kNamedTints) {
    if (TintColor(t, 100) == color) return std::string(t.name);
  }
  return "other";
}

struct StartCase {
  const char* name;
  const char* file;  // nullptr: no options file
  int checks[4];
  const char* tint_text;
  const char* painted;
  int paintings;  // 4998 lines each
};

TEST(LoadMainWindowTest, OptionsFileVariants) {
  const StartCase cases[] = {
      {"first run", nullptr, {0, 0, 0, 0}, "Серый", "Серый", 1},
      {"all on, blue",
       "1\r\n1\r\n1\r\n1\r\n\xD1\xE8\xED\xE8\xE9\r\n",
       {1, 1, 1, 1},
       "Синий",
       "Синий",
       1},
      {"letter in line four",
       "1\r\n2\r\n1\r\nz\r\n\xD1\xE8\xED\xE8\xE9\r\n",
       {1, 0, 1, 0},
       "Синий",
       "Синий",
       1},
      {"three fields", "1\r\n1\r\n1\r\n", {1, 1, 1, 0}, "Серый", "Серый", 1},
      {"other letter case",
       "2\r\n2\r\n2\r\n2\r\n\xF1\xE8\xED\xE8\xE9\r\n",
       {0, 0, 0, 0},
       "синий",
       "none",
       0},
      {"unknown name", "2\r\n2\r\n2\r\n2\r\nMauve\r\n", {0, 0, 0, 0}, "Mauve", "none", 0},
      {"gold",
       "2\r\n2\r\n2\r\n2\r\n\xC7\xEE\xEB\xEE\xF2\xEE\xE9\r\n",
       {0, 0, 0, 0},
       "Золотой",
       "Золотой",
       1},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    FakePlatform platform(dir.File("proxy_stup.pr"));
    if (c.file) WriteBytes(platform.OptionsFilePath(), c.file);
    MainWindowModel model;
    LoadMainWindow(model, platform);
    EXPECT_EQ((std::vector<int>{model.check1, model.check2, model.check3, model.check4}),
              std::vector<int>(c.checks, c.checks + 4));
    EXPECT_EQ(model.combo1_text, c.tint_text);
    EXPECT_EQ(PaintedTint(model.canvas), c.painted);
    EXPECT_EQ(model.canvas.Revision(), static_cast<std::uint64_t>(4998 * c.paintings));
    EXPECT_TRUE(platform.messages.empty());
  }
}

TEST(LoadMainWindowTest, FallbackStillHonoursRedAndBlueAfterGrey) {
  MainWindowModel model;
  model.combo1_text = "Красный";
  OptionsFileFallback(model);
  EXPECT_EQ(PaintedTint(model.canvas), "Красный");
  EXPECT_EQ(model.canvas.Revision(), 2u * 4998);
}

TEST(PlacementTest, DefaultsRoundTripAndGarbage) {
  FakePlatform platform;
  MainWindowModel model;
  RestoreWindowPlacement(model, platform);
  EXPECT_EQ(model.placement.left, 1000);
  EXPECT_EQ(model.placement.top, 1000);
  EXPECT_EQ(model.placement.width, 6500);
  EXPECT_EQ(model.placement.height, 6500);

  model.placement = {1500, -30, 7200.5f, 6000, 2};
  SaveWindowPlacement(model, platform);
  EXPECT_EQ(platform.settings["Settings/MainLeft"], "1500");
  EXPECT_EQ(platform.settings["Settings/MainTop"], "-30");
  EXPECT_EQ(platform.settings["Settings/MainWidth"], "7200.5");
  MainWindowModel back;
  RestoreWindowPlacement(back, platform);
  EXPECT_EQ(back.placement.left, 1500);
  EXPECT_EQ(back.placement.top, -30);
  EXPECT_EQ(back.placement.width, 7200.5f);
  EXPECT_EQ(back.placement.height, 6000);

  const std::pair<std::optional<std::string>, float> values[] = {{std::nullopt, 42},
                                                                 {"", 42},
                                                                 {"abc", 42},
                                                                 {"12abc", 42},
                                                                 {"nan", 42},
                                                                 {"inf", 42},
                                                                 {"1e999", 42},
                                                                 {"7", 7},
                                                                 {" 8", 8},
                                                                 {"-9.5", -9.5f},
                                                                 {std::string(100, '1'), 42}};
  for (const auto& [text, value] : values) {
    EXPECT_EQ(PlacementValue(text, 42), value) << text.value_or("(missing)");
  }
}

// A placement wholly off every screen comes back on the primary one at the
// default position; any other is applied as read. The store is not written.
TEST(PlacementTest, WindowWhollyOffEveryScreenComesBackOnThePrimary) {
  const ScreenArea primary{0, 0, 28800, 16200};  // 1920 x 1080 pixels
  const ScreenArea right_of_it{28800, 0, 19200, 16200};
  const Placement moved{1000, 1000, 6500, 6500};
  struct Case {
    const char* name;
    std::vector<ScreenArea> screens;
    Placement stored;
    Placement expected;
  } cases[] = {
      {"off to the left", {primary}, {-7000, 1000, 6500, 6500}, moved},
      {"off to the right (MainLeft=45000)", {primary}, {45000, 1000, 6500, 6500}, moved},
      {"above", {primary}, {1000, -6600, 6500, 6500}, moved},
      {"below", {primary}, {1000, 16200, 6500, 6500}, moved},
      {"touching the right edge from outside", {primary}, {28800, 1000, 6500, 6500}, moved},
      {"touching the left edge from outside", {primary}, {-6500, 1000, 6500, 6500}, moved},
      {"touching the top edge from outside", {primary}, {1000, -6500, 6500, 6500}, moved},
      {"one twip on the screen: as read",
       {primary},
       {28799, 16199, 6500, 6500},
       {28799, 16199, 6500, 6500}},
      {"partly on the screen: as read",
       {primary},
       {-6000, -6000, 6500, 6500},
       {-6000, -6000, 6500, 6500}},
      {"on the second screen: as read",
       {primary, right_of_it},
       {30000, 2000, 6500, 6500},
       {30000, 2000, 6500, 6500}},
      {"second screen unplugged", {primary}, {30000, 2000, 7000, 5000}, {1000, 1000, 7000, 5000}},
      {"the primary is not at the origin",
       {right_of_it, primary},
       {-9000, 0, 6500, 6500},
       {29800, 1000, 6500, 6500}},
      {"larger than the screen: as large as it, and all on it",
       {primary},
       {90000, 0, 40000, 16000},
       {0, 200, 28800, 16000}},
      {"taller than the screen", {primary}, {1000, 90000, 6500, 20000}, {1000, 0, 6500, 16200}},
      {"screens unknown: as read", {}, {-9000, 0, 6500, 6500}, {-9000, 0, 6500, 6500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    platform.screens = c.screens;
    const Placement& s = c.stored;
    platform.settings = {{"Settings/MainLeft", std::to_string(s.left)},
                         {"Settings/MainTop", std::to_string(s.top)},
                         {"Settings/MainWidth", std::to_string(s.width)},
                         {"Settings/MainHeight", std::to_string(s.height)}};
    const auto stored = platform.settings;
    MainWindowModel model;
    LoadMainWindow(model, platform);
    const Placement& p = model.placement;
    EXPECT_EQ(
        (std::vector<float>{p.left, p.top, p.width, p.height}),
        (std::vector<float>{c.expected.left, c.expected.top, c.expected.width, c.expected.height}));
    EXPECT_EQ(platform.settings, stored);
    EXPECT_EQ(platform.setting_writes, 0);
  }
}

TEST(UnloadMainWindowTest, MinimisedKeepsOldPlacementAndAboutGoesFirst) {
  FakePlatform platform;
  MainWindowModel model;
  ShowAbout(model);
  model.placement = {1, 2, 3, 4, 1};
  UnloadMainWindow(model, platform);
  EXPECT_EQ(platform.setting_writes, 0);
  EXPECT_EQ(model.about.state, AboutState::kNotCreated);
  EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);

  model.placement.window_state = 0;
  UnloadMainWindow(model, platform);
  EXPECT_EQ(platform.setting_writes, 4);

  MainWindowModel quitting;
  QuitImmediately(quitting);
  EXPECT_EQ(quitting.end_request, EndRequest::kImmediately);
}

}  // namespace
}  // namespace kestrova
