// The Windows window tests run under Wine on a virtual display, with the
// options file in a private APPDATA: no test touches the real user's files.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>

#include "tests/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  int result;
  {
    kestrova::testing::TempDir appdata;
    ::SetEnvironmentVariableW(L"APPDATA", kestrova::testing::FsPath(appdata.path()).c_str());
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    result = RUN_ALL_TESTS();
    ::CoUninitialize();
  }
  return result;
}
