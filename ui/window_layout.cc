#include "ui/window_layout.h"

#include <cstdlib>

namespace kestrova {
namespace {

using C = WindowCommand;
using K = ControlKind;

constexpr ControlLayout kMainControls[] = {
    {"ProgressBar2", K::kVerticalProgressBar, "", "", {120, 840, 255, 4335}, 18, ""},
    {"Command3", K::kButton, "Опции", "", {3960, 2640, 1935, 375}, 9, "", C::kShowOptionsPanel},
    {"ProgressBar1", K::kProgressBar, "", "", {120, 5520, 5700, 180}, 8, ""},
    {"Command4", K::kButton, "Отсеить", "", {3960, 2160, 1935, 375}, 7, "", C::kSiftList},
    {"Command2", K::kButton, "Очистить", "", {3960, 3120, 1935, 375}, 6, "", C::kClearList},
    {"Command1", K::kButton, "Выход", "", {3960, 3600, 1935, 375}, 5, "", C::kQuitImmediately},
    {"tbToolBar", K::kToolBar, "", "", {0, 0, 6420, 420}, 0, ""},
    {"Frame1", K::kFrame, "Опции", "", {120, 480, 6135, 5415}, 10, ""},
    {"List1", K::kListBox, "", "", {360, 840, 3375, 4350}, 1, ""},
    {"Label3", K::kLabel, "0", "", {5040, 840, 855, 255}, 4, ""},
    {"Label2", K::kLabel, "Элементов :", "", {3840, 840, 1095, 255}, 3, "", C::kNone, 8.25, true},
    {"Label1", K::kLabel, "", "", {120, 480, 5775, 255}, 2, ""},
    // Inside the options frame.
    {"Check4",
     K::kCheckBox,
     "       Отсеевать одинаковые Proxy",
     "  Непонял - значит недано !!! ",
     {120, 2640, 5175, 375},
     17,
     "Frame1"},
    {"Check3",
     K::kCheckBox,
     "       Отсеевать  числовый Proxy",
     "Отсеивает прохи вида (192.168.0.1:80)",
     {120, 2160, 5175, 255},
     16,
     "Frame1"},
    {"Check2",
     K::kCheckBox,
     "       Отсеевать текстовые Proxy",
     "Отсеивает прохи вида (www.proxy.example:80)",
     {120, 1560, 4935, 375},
     15,
     "Frame1"},
    {"Combo1", K::kComboBox, "Серый", "", {2280, 360, 2775, 315}, 13, "Frame1"},
    {"Command5",
     K::kButton,
     "Применить",
     "",
     {4200, 4440, 1575, 255},
     12,
     "Frame1",
     C::kApplyOptions},
    {"Check1",
     K::kCheckBox,
     "        Считывать элементы похожие на Proxy",
     "Считывает элементы из файла начинающиеся www.,\"xx.\",\"xxx.\"",
     {120, 1080, 3735, 375},
     11,
     "Frame1"},
    {"Label4",
     K::kLabel,
     "Интерфейс с оттенком",
     " Не для дальтоников !!!",
     {120, 360, 1935, 255},
     14,
     "Frame1"},
};

constexpr ControlLayout kAboutControls[] = {
    {"Image2", K::kPicture, "", "", {120, 360, 1335, 1095}, -1, ""},
    {"Label1",
     K::kLabel,
     "Kestrova v.1.0\n© contributors",
     "",
     {1680, 600, 1935, 495},
     2,
     "",
     C::kNone,
     9.75,
     true},
    {"Command1", K::kButton, "Закрыть", "", {1800, 1320, 1335, 255}, 0, "", C::kHideAbout},
    {"Frame1", K::kRule, "", "", {0, 1920, 5655, 15}, 1, ""},
    {"List1", K::kListBox, "", "", {120, 2160, 3255, 1545}, 3, ""},
};

constexpr WindowLayout kMainWindow = {"frmMain",    "     .:Kestrova v.1.0:.", 6420, 7200, 8.25,
                                      kMainControls};
constexpr WindowLayout kAboutWindow = {"Form1", "About", 3495, 3840, 8.25, kAboutControls};

constexpr MenuItemLayout kFileItems[] = {
    {"mnuFileOpen", "&Open...", "Ctrl+O", C::kOpenList},
    {"mnuFileClose", "&Close", "", C::kCloseList},
    {"mnuFileBar0", "", "", C::kNone},
    {"mnuFileSave", "&Save", "Ctrl+S", C::kSaveList},
    {"mnuFileSaveAs", "Save &As...", "Ctrl+Shift+S", C::kSaveListAs},
    {"mnuFileBar1", "", "", C::kNone},
    {"mnuFileExit", "E&xit", "Ctrl+Q", C::kUnloadMainWindow},
};
constexpr MenuItemLayout kHelpItems[] = {
    {"mnuHelpAbout", "&About ", "", C::kShowAbout},
};
constexpr MenuLayout kMenus[] = {
    {"mnuFile", "&File", kFileItems},
    {"mnuHelp", "&Help", kHelpItems},
};

constexpr const char* kToolbarKeys[] = {"Open", "Save", "", "Help"};

constexpr const char* kTintItems[] = {"Серый", "Красный",   "Зеленый",
                                      "Синий", "Бирюзовый", "Золотой"};

constexpr const char* kCredits[21] = {
    "Kestrova v.1.0",
    "Очистка списков прокси",
    "",
    "Kestrova contributors:",
    "  разработка и сборка",
    "  проверка и отладка",
    "  оформление и значки",
    "",
    "Сделано на C++",
    "Списки читаются и пишутся",
    "байт в байт, как в файле",
    "",
    "Связь с проектом:",
    "  трекер задач проекта",
    "  (раздел Issues)",
    "",
    "Спасибо всем, кто присылал",
    "списки и замечания",
    "",
    "Свободно для любого использования",
    "2026",
};

}  // namespace

const WindowLayout& MainWindowLayout() { return kMainWindow; }
const WindowLayout& AboutWindowLayout() { return kAboutWindow; }
std::span<const MenuLayout> MainMenuLayout() { return kMenus; }
std::span<const char* const> ToolbarKeys() { return kToolbarKeys; }
std::span<const char* const> TintSelectorItems() { return kTintItems; }
std::span<const char* const> AboutCredits() { return kCredits; }

const ControlLayout& FindControl(const WindowLayout& window, std::string_view name) {
  for (const ControlLayout& control : window.controls) {
    if (name == control.name) return control;
  }
  std::abort();  // a name missing from the program's own tables
}

}  // namespace kestrova
