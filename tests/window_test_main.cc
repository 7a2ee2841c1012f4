// The window tests run on Qt's offscreen platform, with the settings store
// and the options file in a private folder: no display, no real home.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::string home = (std::filesystem::temp_directory_path() / "kestrova-home-XXXXXX").string();
  if (!mkdtemp(home.data())) return 2;
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  int result;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::filesystem::remove_all(home);
  return result;
}
