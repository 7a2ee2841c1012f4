#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/text_codec.h"
#include "options/tints.h"
#include "qt/about_window.h"
#include "qt/qt_platform.h"
#include "qt/tint_background.h"
#include "tests/test_support.h"
#include "ui/contrast.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct Control {
  const char* name;
  const char* kind;
  const char* text;
  const char* tooltip;
  int left, top, width, height;
  bool visible;
};

QRect Pixels(int left, int top, int width, int height) {
  auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
  return QRect(px(left), px(top), px(width), px(height));
}

QString TextOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
  return {};
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : platform(dir.File("proxy_stup.pr")), window(model, platform) {}

  template <typename W = QWidget>
  W* Find(const char* name) {
    W* w = window.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Trigger(const char* action) {
    QAction* a = window.findChild<QAction*>(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }

  TempDir dir;
  MainWindowModel model;
  FakePlatform platform;
  MainWindow window;
};

TEST_F(MainWindowTest, ControlsMatchTheLayout) {
  const Control controls[] = {
      {"ProgressBar2", "QProgressBar", "", "", 120, 840, 255, 4335, true},
      {"Command3", "QPushButton", "Опции", "", 3960, 2640, 1935, 375, true},
      {"ProgressBar1", "QProgressBar", "", "", 120, 5520, 5700, 180, true},
      {"Command4", "QPushButton", "Отсеить", "", 3960, 2160, 1935, 375, true},
      {"Command2", "QPushButton", "Очистить", "", 3960, 3120, 1935, 375, true},
      {"Command1", "QPushButton", "Выход", "", 3960, 3600, 1935, 375, true},
      {"tbToolBar", "QToolBar", "", "", 0, 0, 6420, 420, true},
      {"Frame1", "QGroupBox", "Опции", "", 120, 480, 6135, 5415, false},
      {"List1", "QListView", "", "", 360, 840, 3375, 4350, true},
      {"Label3", "QLabel", "0", "", 5040, 840, 855, 255, true},
      {"Label2", "QLabel", "Элементов :", "", 3840, 840, 1095, 255, true},
      {"Label1", "QLabel", "", "", 120, 480, 5775, 255, true},
      {"Check4", "QCheckBox", "       Отсеевать одинаковые Proxy", "  Непонял - значит недано !!! ",
       120, 2640, 5175, 375, true},
      {"Check3", "QCheckBox", "       Отсеевать  числовый Proxy", "Отсеивает прохи вида (", 120,
       2160, 5175, 255, true},
      {"Check2", "QCheckBox", "       Отсеевать текстовые Proxy", "Отсеивает прохи вида (www.", 120,
       1560, 4935, 375, true},
      {"Combo1", "QComboBox", "Серый", "", 2280, 360, 2775, 315, true},
      {"Command5", "QPushButton", "Применить", "", 4200, 4440, 1575, 255, true},
      {"Check1", "QCheckBox", "        Считывать элементы похожие на Proxy",
       "Считывает элементы из файла начинающиеся www.,\"xx.\",\"xxx.\"", 120, 1080, 3735, 375,
       true},
      {"Label4", "QLabel", "Интерфейс с оттенком", " Не для дальтоников !!!", 120, 360, 1935, 255,
       true},
  };
  for (const Control& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* w = Find(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(c.kind)) << w->metaObject()->className();
    EXPECT_EQ(TextOf(w), QString::fromUtf8(c.text));
    if (*c.tooltip == '\0') {
      EXPECT_TRUE(w->toolTip().isEmpty());
    } else {
      EXPECT_TRUE(w->toolTip().startsWith(QString::fromUtf8(c.tooltip)));
    }
    EXPECT_EQ(w->geometry(), Pixels(c.left, c.top, c.width, c.height));
    EXPECT_EQ(!w->isHidden(), c.visible);
  }
  EXPECT_EQ(Find<QWidget>("Check1")->toolTip().size(), 58);
  EXPECT_TRUE(Find<QWidget>("Check3")->toolTip().endsWith(":80)"));
  EXPECT_EQ(window.windowTitle(), "     .:Kestrova v.1.0:.");
  EXPECT_TRUE(Find<QLabel>("Label2")->font().bold());
  EXPECT_EQ(Find<QLabel>("Label2")->font().pointSizeF(), 8.25);
  EXPECT_EQ(Find<QProgressBar>("ProgressBar2")->orientation(), Qt::Vertical);
  EXPECT_EQ(Find<QProgressBar>("ProgressBar2")->maximum(), 32765);
  EXPECT_FALSE(window.windowIcon().isNull());

  QStringList tints;
  for (int i = 0; i < Find<QComboBox>("Combo1")->count(); ++i) {
    tints << Find<QComboBox>("Combo1")->itemText(i);
  }
  EXPECT_EQ(tints.join(","), "Серый,Красный,Зеленый,Синий,Бирюзовый,Золотой");
  EXPECT_TRUE(Find<QComboBox>("Combo1")->isEditable());
}

TEST_F(MainWindowTest, ToolbarSpansTheClientAreaAtAnyWidth) {
  window.Start();
  for (int width : {900, 300, 428}) {
    window.resize(width, 500);
    QApplication::processEvents();
    EXPECT_EQ(Find("tbToolBar")->geometry(), QRect(0, 0, Find("frmMainClient")->width(), 28))
        << width;
  }
}

TEST_F(MainWindowTest, TabOrderFollowsTheLayout) {
  QStringList order;
  const QStringList wanted = {"List1",    "Command1", "Command2", "Command4", "Command3", "Check1",
                              "Command5", "Combo1",   "Check2",   "Check3",   "Check4"};
  QWidget* w = Find("List1");
  for (int i = 0; i < 200 && order.size() < wanted.size(); ++i, w = w->nextInFocusChain()) {
    if (wanted.contains(w->objectName()) && !order.contains(w->objectName())) {
      order << w->objectName();
    }
  }
  EXPECT_EQ(order, wanted);
}

TEST_F(MainWindowTest, MenuAndToolbarHoldEveryCommand) {
  QStringList file;
  for (QAction* a : window.findChild<QMenu*>("mnuFile")->actions()) {
    file << (a->objectName() + "=" + a->text());
  }
  EXPECT_EQ(file.join(";"),
            "mnuFileOpen=&Open...;mnuFileClose=&Close;mnuFileBar0=;mnuFileSave=&Save;"
            "mnuFileSaveAs=Save &As...;mnuFileBar1=;mnuFileExit=E&xit");
  QMenu* help = window.findChild<QMenu*>("mnuHelp");
  ASSERT_EQ(help->actions().size(), 1);
  EXPECT_EQ(help->actions()[0]->text(), "&About ");
  EXPECT_EQ(window.menuBar()->actions()[0]->text(), "&File");
  EXPECT_EQ(window.menuBar()->actions()[1]->text(), "&Help");

  QStringList keys;
  for (QToolButton* b : Find<QToolBar>("tbToolBar")->findChildren<QToolButton*>()) {
    if (b->defaultAction()) {
      keys << b->defaultAction()->data().toString() + (b->icon().isNull() ? "" : "+image");
    }
  }
  EXPECT_EQ(keys.join(","), "Open+image,Save+image,,Help+image");
}

TEST_F(MainWindowTest, OpenFromMenuFillsListCountPathAndGauge) {
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\n\xCF\xF0\xEE\xEA\xF1\xE8\nwww.\xC3\xA9.x\n");
  platform.answers = {dir.File("list.txt")};
  Trigger("mnuFileOpen");
  QAbstractItemModel* rows = Find<QListView>("List1")->model();
  ASSERT_EQ(rows->rowCount(), 3);
  EXPECT_EQ(rows->index(0, 0).data().toString(), "1.2.3.4:80");
  EXPECT_EQ(rows->index(1, 0).data().toString(), "Прокси");   // windows-1251
  EXPECT_EQ(rows->index(2, 0).data().toString(), "www.é.x");  // UTF-8
  EXPECT_EQ(Find<QLabel>("Label3")->text(), "3");
  EXPECT_EQ(Find<QLabel>("Label1")->text().toStdString(), dir.File("list.txt"));
  EXPECT_EQ(Find<QProgressBar>("ProgressBar2")->value(), 3);

  Find<QPushButton>("Command2")->click();
  EXPECT_EQ(rows->rowCount(), 0);
  EXPECT_EQ(Find<QLabel>("Label3")->text(), "0");
  EXPECT_EQ(Find<QProgressBar>("ProgressBar2")->value(), 3);
  EXPECT_EQ(Find<QLabel>("Label1")->text().toStdString(), dir.File("list.txt"));
}

// A list file reaches the window from the menu, by its key, from the command
// line and by a drop: each time the same import, with the same messages.
TEST_F(MainWindowTest, EveryWayToOpenAFileIsFileOpen) {
  window.Start();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\r\njunk\r\n");
  auto drop = [&](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &dropped);
    QApplication::processEvents();
    return dropped.isAccepted();
  };
  const std::pair<const char*, std::function<void(const std::string&)>> ways[] = {
      {"File > Open",
       [&](const std::string& path) {
         platform.answers = {path};
         Trigger("mnuFileOpen");
       }},
      {"Ctrl+O",
       [&](const std::string& path) {
         platform.answers = {path};
         QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
       }},
      {"kestrova FILE", [&](const std::string& path) { window.OpenFile(path); }},
      {"a drop of two files",
       [&](const std::string& path) {
         const QString other = QString::fromStdString(dir.File("other.txt"));
         EXPECT_TRUE(
             drop({QUrl::fromLocalFile(QString::fromStdString(path)), QUrl::fromLocalFile(other)}));
       }},
      {"a drop whose first file is not local", [&](const std::string& path) {
         EXPECT_TRUE(drop({QUrl("https://example.com/list.txt"),
                           QUrl::fromLocalFile(QString::fromStdString(path))}));
       }}};
  for (const auto& [way, open] : ways) {
    for (const std::string& path : {dir.File("list.txt"), dir.File("missing.txt")}) {
      SCOPED_TRACE(std::string(way) + " " + path);
      const bool exists = path == dir.File("list.txt");
      model.list1.Assign({"kept"});
      model.SetCount(1);
      model.label1 = "/previous.txt";
      platform.messages.clear();
      open(path);
      const std::vector<std::string> loaded = {"1.2.3.4:80", "junk"};
      const std::vector<std::string> kept = {"kept"};
      EXPECT_EQ(model.list1.Items(), exists ? loaded : kept);
      EXPECT_EQ(Find<QLabel>("Label3")->text(), exists ? "2" : "1");
      EXPECT_EQ(model.label1, exists ? path : "/previous.txt");
      ASSERT_EQ(platform.messages.size(), exists ? 0u : 1u);
      if (!exists) {
        EXPECT_NE(platform.messages[0].find("missing.txt"), std::string::npos);
      }
    }
  }
  // Only local files are taken.
  EXPECT_FALSE(drop({QUrl("https://example.com/list.txt")}));

  // A name in windows-1251, not UTF-8, as `kestrova FILE` hands it over: the
  // file is opened, and saved back, by the exact bytes of its name.
  const std::string cp1251 = dir.File("\xCF\xF0\xEE\xEA\xF1\xE8.txt");
  WriteBytes(cp1251, "1.2.3.4:80\r\njunk\r\n");
  platform.messages.clear();
  window.OpenFile(cp1251);
  EXPECT_EQ(model.label1, cp1251);
  Find<QPushButton>("Command4")->click();
  Trigger("mnuFileSave");
  EXPECT_EQ(testing::ReadBytes(cp1251), "1.2.3.4:80\r\n");
  EXPECT_TRUE(platform.messages.empty());
}

// A file manager hands a dropped name over as percent-encoded bytes: a name
// in windows-1251 (not UTF-8) opens that very file, and Save writes it back.
TEST_F(MainWindowTest, DroppedNameInWindows1251OpensThatFileAndSaveWritesIt) {
  window.Start();
  const std::string path = dir.path() + "/\xCF\xF0\xEE\xEA\xF1\xE8.txt";  // "Прокси"
  std::ofstream(path, std::ios::binary) << "1.2.3.4:80\r\n";
  QMimeData data;
  data.setData("text/uri-list",
               "file://" + QUrl::toPercentEncoding(QByteArray::fromStdString(dir.path()), "/") +
                   "/%CF%F0%EE%EA%F1%E8.txt\r\n");
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &dropped);
  QApplication::processEvents();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(model.label1, path);
  EXPECT_EQ(model.list1.Items(), std::vector<std::string>{"1.2.3.4:80"});
  model.list1.Set(1, "5.6.7.8:3128");
  Trigger("mnuFileSave");
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1.2.3.4:80\r\n5.6.7.8:3128\r\n");
}

// Enter and Space press the focused button, as on the desktop the program
// comes from; each runs the button's command.
TEST_F(MainWindowTest, EnterAndSpacePressTheFocusedButton) {
  window.Start();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  struct Case {
    const char* button;
    bool options_view;
    std::function<bool()> ran;
  } cases[] = {
      {"Command4", false,
       [&] { return model.list1.Items() == std::vector<std::string>{"1.2.3.4:80"}; }},
      {"Command2", false, [&] { return model.list1.Count() == 0 && model.label3 == "0"; }},
      {"Command3", false, [&] { return model.frame1_visible; }},
      {"Command5", true, [&] { return !model.frame1_visible; }},
      {"Command1", false, [&] { return model.end_request == EndRequest::kImmediately; }},
  };
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.button) + " key " + std::to_string(key));
      model.list1.Assign({"1.2.3.4:80 junk"});
      model.SetCount(1);
      model.end_request = EndRequest::kNone;
      model.frame1_visible = c.options_view;
      model.list1_visible = model.command1_visible = model.command2_visible =
          model.command3_visible = model.command4_visible = !c.options_view;
      window.Refresh();
      auto* button = Find<QPushButton>(c.button);
      button->setFocus();
      ASSERT_TRUE(button->hasFocus());
      QTest::keyClick(button, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
      EXPECT_TRUE(c.ran());
    }
  }
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    Trigger("mnuHelpAbout");
    AboutWindow* about = window.About();
    QApplication::setActiveWindow(about);
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    auto* close = about->findChild<QPushButton*>("Command1");
    ASSERT_TRUE(close->hasFocus());
    QTest::keyClick(close, key);
    EXPECT_EQ(model.about.state, AboutState::kHidden) << key;
  }
}

// Where a text's glyphs lie: a check box's label past its box, a frame's
// caption, a label's whole area; in the coordinates of `background`.
QRect TextArea(QWidget* widget, QWidget* background) {
  QRect area = widget->rect();
  if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    area = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    area = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          frame);
  }
  return QRect(widget->mapTo(background, area.topLeft()), area.size());
}

Rgb RgbOf(QRgb p) { return {qRed(p), qGreen(p), qBlue(p)}; }

// The contrast of a text as drawn: its ink (the pixel that stands out most
// from the background behind it) against every background pixel beside the
// glyphs, the worst of them.
double MeasuredContrast(const QImage& shot, const QImage& background, const QRect& area) {
  QRect ink_box;
  Rgb ink;
  double strongest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb drawn = shot.pixel(x, y);
      const QRgb behind = background.pixel(x, y);
      if (drawn == behind) continue;
      ink_box |= QRect(x, y, 1, 1);
      const double contrast = ContrastRatio(RgbOf(drawn), RgbOf(behind));
      if (contrast > strongest) strongest = contrast, ink = RgbOf(drawn);
    }
  }
  if (ink_box.isEmpty()) return 0;
  double worst = 21;
  for (int y = ink_box.top(); y <= ink_box.bottom(); ++y) {
    for (int x = ink_box.left(); x <= ink_box.right(); ++x) {
      worst = std::min(worst, ContrastRatio(ink, RgbOf(background.pixel(x, y))));
    }
  }
  return worst;
}

QPalette DarkPalette() {
  QPalette dark(QColor(53, 53, 53));  // a dark window colour, and roles derived from it
  dark.setColor(QPalette::WindowText, QColor(238, 238, 236));
  dark.setColor(QPalette::Text, QColor(238, 238, 236));
  dark.setColor(QPalette::ButtonText, QColor(238, 238, 236));
  dark.setColor(QPalette::Base, QColor(45, 45, 45));
  return dark;
}

// Every text over a tint reads at 4.5:1 or better under a light and a dark
// theme, measured from the pixels of the window as drawn.
TEST_F(MainWindowTest, TextsOverEveryTintAreLegibleUnderLightAndDarkThemes) {
  const QPalette light = QApplication::palette();
  window.Start();
  model.label1 = "/home/someone/lists/a rather long folder name/proxy-list-of-today.txt";
  struct Theme {
    const char* name;
    QPalette palette;
  } themes[] = {{"light", light}, {"dark", DarkPalette()}};
  auto* client = static_cast<TintBackground*>(Find("frmMainClient"));
  for (const Theme& theme : themes) {
    QApplication::setPalette(theme.palette);
    QApplication::processEvents();  // the widgets take the new palette
    // First as painted before the theme changed, then each tint anew.
    for (size_t i = 0; i <= kNamedTints.size(); ++i) {
      const std::string tint = i ? std::string(kNamedTints[i - 1].name) : "as painted before";
      if (i) PaintNamedTint(model.canvas, tint);
      for (const bool options_view : {false, true}) {
        model.frame1_visible = options_view;
        model.list1_visible = !options_view;
        window.Refresh();
        const QImage shot = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage& background = client->Image();
        const std::vector<const char*> texts =
            options_view ? std::vector<const char*>{"Frame1", "Label4", "Check1",
                                                    "Check2", "Check3", "Check4"}
                         : std::vector<const char*>{"Label1", "Label2", "Label3"};
        for (const char* name : texts) {
          SCOPED_TRACE(std::string(theme.name) + " " + tint + " " + name);
          EXPECT_GE(MeasuredContrast(shot, background, TextArea(Find(name), client)),
                    kLegibleContrast);
        }
      }
    }
    Trigger("mnuHelpAbout");
    QWidget* label = window.About()->findChild<QLabel*>("Label1");
    auto* about = static_cast<TintBackground*>(label->parentWidget());
    const QImage shot = about->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(MeasuredContrast(shot, about->Image(), TextArea(label, about)), kLegibleContrast)
        << theme.name << " About";
    window.About()->close();
  }
  QApplication::setPalette(light);
}

// The real program, through its real standard streams: the command line is
// answered without a display and without loading Qt, every usage error with
// one message and status 2, and `kestrova sift` works in a pipe.
TEST(CommandLineTest, AnsweredWithoutQtOrADisplay) {
  TempDir dir;
  const std::string list = dir.File("list.txt");
  WriteBytes(list, "1.2.3.4:80\r\n");
  const std::string long_line = "1.2.3.4:80\n" + std::string((16 << 20) + 1, 'x') + "\n";
  WriteBytes(dir.File("long.txt"), long_line);
  struct Case {
    QStringList args;
    bool display;
    int status;
    const char* out;
    const char* errors;
    std::string input = "";
  } cases[] = {
      {{"--help"}, false, 0, "[FILE]", ""},
      {{"--version"}, false, 0, "Kestrova 1.0", ""},
      {{"sift", "--help"}, false, 0, "--drop-repeats", ""},
      {{"sift", "--version"}, false, 0, "Kestrova 1.0", ""},
      {{"--bogus"}, false, 2, "", "kestrova: unknown option \"--bogus\""},
      {{"--bogus"}, true, 2, "", "kestrova: unknown option \"--bogus\""},
      {{"sfit", "x"}, false, 2, "", "did you mean \"sift\"?"},
      {{"sfit", "x"}, true, 2, "", "did you mean \"sift\"?"},
      {{QString::fromStdString(list), QString::fromStdString(list)}, true, 2, "", "one FILE"},
      {{"sift", "--bogus"}, false, 2, "", "kestrova sift: unknown option \"--bogus\""},
      {{"sift", "-o"}, false, 2, "", "option \"-o\" needs a file name"},
      {{"sift", "-q", "-", QString::fromStdString(list)},
       false,
       0,
       "5.6.7.8:1\r\n1.2.3.4:80\r\n",
       "",
       "5.6.7.8:1\n"},
      {{"sift", "--drop-repeats"},
       false,
       0,
       "1.2.3.4:80\r\n",
       "2 lines read, 1 entry kept, 1 repeat dropped",
       "1.2.3.4:80\n1.2.3.4:80 x"},
      // A 17 MiB line ends the run the same way from a file and from a pipe.
      {{"sift", QString::fromStdString(dir.File("long.txt"))},
       false,
       1,
       "",
       "Line 2 is longer than 16 MiB"},
      {{"sift"}, false, 1, "", "reading stopped in standard input: Line 2 is longer", long_line},
      {{QString::fromStdString(list)}, false, 1, "", "no display for the window"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(" ").toStdString() + (c.display ? " (display)" : ""));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
      environment.remove(name);
    }
    if (c.display) environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LD_DEBUG", "libs");  // the dynamic loader names each library it loads
    process.setProcessEnvironment(environment);
    process.start(KESTROVA_BINARY, c.args);
    ASSERT_TRUE(process.waitForStarted(20000));
    process.write(c.input.data(), static_cast<qint64>(c.input.size()));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.status);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray errors = process.readAllStandardError();
    EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
    EXPECT_TRUE(errors.contains(c.errors)) << errors.right(2000).toStdString();
    EXPECT_FALSE(errors.contains("libQt6"));
  }
}

// Save, Save As and Exit answer the platform's keys, shown in the menu.
TEST_F(MainWindowTest, StandardKeysSaveAndExit) {
  window.Start();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (const char* action : {"mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "mnuFileExit"}) {
    EXPECT_FALSE(window.findChild<QAction*>(action)->shortcut().isEmpty()) << action;
  }
  model.list1.Assign({"1.2.3.4:80"});
  model.SetCount(1);
  model.label1 = dir.File("current.txt");
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);  // to the current file
  EXPECT_TRUE(platform.dialogs.empty());
  EXPECT_EQ(testing::ReadBytes(dir.File("current.txt")), "1.2.3.4:80\r\n");
  platform.answers = {dir.File("chosen.txt")};
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(platform.dialogs, std::vector<std::string>{"Save|All Files (*.txt)|*.txt"});
  EXPECT_EQ(testing::ReadBytes(dir.File("chosen.txt")), "1.2.3.4:80\r\n");
  EXPECT_EQ(model.label1, dir.File("current.txt"));
  QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);  // the unload step runs
  EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);
  // The placement, and the chooser's folder when Save As chose a file.
  for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
    EXPECT_EQ(platform.settings.count(std::string("Settings/") + key), 1u) << key;
  }
  EXPECT_EQ(platform.settings["Chooser/Folder"], dir.path());
  EXPECT_EQ(platform.setting_writes, 5);
}

TEST_F(MainWindowTest, OptionsViewHidesTheListAndSwitchesActAtOnce) {
  window.Start();
  Find<QPushButton>("Command3")->click();
  EXPECT_TRUE(Find("Frame1")->isVisible());
  for (const char* hidden :
       {"List1", "Command1", "Command2", "Command3", "Command4", "ProgressBar1", "ProgressBar2"}) {
    EXPECT_FALSE(Find(hidden)->isVisible()) << hidden;
  }
  for (const char* kept : {"Label1", "Label2", "Label3", "tbToolBar"}) {
    EXPECT_FALSE(Find(kept)->isHidden()) << kept;
  }
  Find<QCheckBox>("Check1")->click();
  EXPECT_EQ(model.check1, 1);
  Find<QComboBox>("Combo1")->setCurrentIndex(2);
  EXPECT_EQ(model.combo1_text, "Зеленый");
  Find<QPushButton>("Command5")->click();
  EXPECT_FALSE(Find("Frame1")->isVisible());
  EXPECT_TRUE(Find("List1")->isVisible());
  EXPECT_EQ(testing::ReadBytes(dir.File("proxy_stup.pr")),
            "1\r\n2\r\n2\r\n2\r\n\xC7\xE5\xEB\xE5\xED\xFB\xE9\r\n");
}

// Typed with the keyboard and applied with the mouse, which takes the focus
// from the field: the name stays exactly as typed, case and all.
TEST_F(MainWindowTest, TintNameIsKeptExactlyAsTyped) {
  window.Start();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const std::pair<const char*, bool> cases[] = {
      {"серый", false}, {"Зел", false}, {"Серый ", false}, {"Синий", true}, {"", false}};
  for (const auto& [typed, paints] : cases) {
    SCOPED_TRACE(typed);
    QTest::mouseClick(Find<QPushButton>("Command3"), Qt::LeftButton);
    QLineEdit* field = Find<QComboBox>("Combo1")->lineEdit();
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    // Key events carrying the text a Russian layout gives; keyClicks only
    // knows Latin-1.
    for (const QChar c : QString::fromUtf8(typed)) {
      QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    const auto painted = model.canvas.Revision();
    QTest::mouseClick(Find<QPushButton>("Command5"), Qt::LeftButton);
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(model.combo1_text, typed);
    EXPECT_EQ(Find<QComboBox>("Combo1")->currentText(), QString::fromUtf8(typed));
    EXPECT_EQ(testing::ReadBytes(dir.File("proxy_stup.pr")),
              "2\r\n2\r\n2\r\n2\r\n" + Utf8ToCp1251(typed) + "\r\n");
    EXPECT_EQ(model.canvas.Revision() != painted, paints);
  }
}

TEST_F(MainWindowTest, TintIsPaintedOnTheBackgroundAndTheStripBeyondStaysPlain) {
  WriteBytes(dir.File("proxy_stup.pr"), "2\r\n2\r\n2\r\n2\r\n\xD1\xE8\xED\xE8\xE9\r\n");
  window.Start();
  QWidget* client = Find("frmMainClient");
  const QImage shot = client->grab().toImage();
  // Row 40 shows the last line drawn into it: y = 614 twips.
  const Rgb expected = TintColor(kNamedTints[5], 614);
  EXPECT_EQ(shot.pixelColor(150, 40), QColor(expected.red, expected.green, expected.blue));
  EXPECT_EQ(shot.pixelColor(Pixels(5100, 0, 0, 0).x() + 2, 40),
            QColor(kClassicFaceColor.red, kClassicFaceColor.green, kClassicFaceColor.blue));
  // Switching views and back keeps the painting.
  Find<QPushButton>("Command3")->click();
  Find<QPushButton>("Command5")->click();
  EXPECT_EQ(client->grab().toImage().pixelColor(150, 40),
            QColor(expected.red, expected.green, expected.blue));
}

// On a screen with two device pixels per logical one, each device row
// shows the last twip line that falls into it: the gradient stays sharp.
TEST(RenderCanvasTest, DrawsAtTheDevicePixelRatio) {
  Canvas canvas;
  PaintTint(canvas, kNamedTints[5]);
  QImage image(QSize(400, 300) * 2, QImage::Format_RGB32);
  image.setDevicePixelRatio(2);
  image.fill(Qt::black);
  RenderCanvas(canvas, image);
  const Rgb row80 = TintColor(kNamedTints[5], 607);  // floor(y * 2 / 15) == 80 up to 607
  EXPECT_EQ(image.pixelColor(10, 80), QColor(row80.red, row80.green, row80.blue));
  // Past x = 5000 twips (device column 666) the background is untouched.
  EXPECT_EQ(image.pixelColor(666, 80), QColor(row80.red, row80.green, row80.blue));
  EXPECT_EQ(image.pixelColor(667, 80), QColor(Qt::black));
}

TEST_F(MainWindowTest, ToolbarHelpShowsThePlaceholderAndKeylessButtonDoesNothing) {
  Find<QToolButton>("tbButtonNoKey")->click();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.dialogs.empty());
  Find<QToolButton>("tbButtonHelp")->click();
  EXPECT_EQ(platform.messages, std::vector<std::string>{"Add 'Help' button code."});
  Find<QToolButton>("tbButtonOpen")->click();
  EXPECT_EQ(platform.dialogs.size(), 1u);
}

TEST_F(MainWindowTest, AboutWindowComesBackAsItWasOrAnew) {
  window.Start();
  Trigger("mnuHelpAbout");
  AboutWindow* about = window.About();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), "About");
  EXPECT_EQ(about->objectName(), "Form1");
  // What a screen reader is told: a dialog named "About", not a bare pane.
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(about);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Dialog);
  EXPECT_EQ(accessible->text(QAccessible::Name), "About");
  EXPECT_FALSE(about->isModal());
  EXPECT_EQ(about->findChild<QListWidget*>("List1")->count(), 21);
  EXPECT_EQ(about->findChild<QPushButton*>("Command1")->text(), "Закрыть");
  Trigger("mnuHelpAbout");
  EXPECT_EQ(window.About(), about);

  about->findChild<QPushButton*>("Command1")->click();
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(model.about.state, AboutState::kHidden);
  Trigger("mnuHelpAbout");
  EXPECT_EQ(window.About(), about);
  EXPECT_TRUE(about->isVisible());
  QTest::keyClick(about, Qt::Key_Escape);  // hides it like "Закрыть"
  EXPECT_EQ(model.about.state, AboutState::kHidden);
  EXPECT_FALSE(about->isVisible());
  Trigger("mnuHelpAbout");
  EXPECT_EQ(window.About(), about);

  about->close();  // the title bar's close
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window.About(), nullptr);
  Trigger("mnuHelpAbout");
  EXPECT_NE(window.About(), nullptr);
  EXPECT_EQ(model.about.generation, 2);
}

TEST_F(MainWindowTest, ClosingSavesPlacementButExitButtonDoesNot) {
  window.Start();
  Trigger("mnuHelpAbout");
  window.move(40, 50);
  window.resize(500, 460);
  Find<QPushButton>("Command1")->click();
  EXPECT_EQ(model.end_request, EndRequest::kImmediately);
  EXPECT_EQ(platform.setting_writes, 0);

  model.end_request = EndRequest::kNone;
  MainWindow second(model, platform);
  second.Start();
  second.move(40, 50);
  second.resize(500, 460);
  second.close();
  EXPECT_EQ(platform.settings["Settings/MainLeft"], std::to_string(second.pos().x() * 15));
  EXPECT_EQ(platform.settings["Settings/MainTop"], std::to_string(second.pos().y() * 15));
  EXPECT_EQ(platform.settings["Settings/MainWidth"], "7500");
  EXPECT_EQ(platform.settings["Settings/MainHeight"], "6900");
  EXPECT_EQ(model.about.state, AboutState::kNotCreated);
}

TEST_F(MainWindowTest, StartUsesTheStoredPlacement) {
  platform.settings = {{"Settings/MainLeft", "1500"},
                       {"Settings/MainTop", "3000"},
                       {"Settings/MainWidth", "7500"},
                       {"Settings/MainHeight", "oops"}};
  window.Start();
  EXPECT_EQ(window.pos(), QPoint(100, 200));
  EXPECT_EQ(window.size(), QSize(500, 433));
}

TEST(QtPlatformTest, SettingsAndOptionsLiveInTheUsersConfigFolder) {
  QtPlatform platform;
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  EXPECT_EQ(platform.OptionsFilePath(), config + "/Kestrova/proxy_stup.pr");
  EXPECT_EQ(platform.ReadSetting("Settings", "MainLeft"), std::nullopt);
  platform.WriteSetting("Settings", "MainLeft", "1234");
  EXPECT_EQ(platform.ReadSetting("Settings", "MainLeft"), "1234");
  EXPECT_NE(testing::ReadBytes(config + "/Kestrova/Kestrova.conf").find("MainLeft=1234"),
            std::string::npos);
}

// Answers the message boxes the real platform shows, with OK as a person
// would, and keeps their texts.
class MessageBoxAnswers {
 public:
  MessageBoxAnswers() {
    timer_.callOnTimeout([this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text().toStdString());
        box->accept();
      }
    });
    timer_.start(10);
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
};

// A settings store full of garbage, or one that cannot be written, never
// stops the program: placement falls back to its defaults, the exit still
// ends, and a store that cannot be written is named with the reason, once.
TEST(QtPlatformTest, GarbageOrUnwritableSettingsStore) {
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  const std::string conf = config + "/Kestrova/Kestrova.conf";
  std::filesystem::create_directories(config + "/Kestrova");
  WriteBytes(conf, std::string("\0\xFF[Settings]\nMainLeft=\x01\x02\nMainTop=[[[\n", 36) +
                       std::string(100000, '='));
  {
    MainWindowModel model;
    QtPlatform platform;
    MainWindow window(model, platform);
    window.Start();
    EXPECT_EQ(window.pos(), QPoint(67, 67));
    window.close();
    EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);
  }
  // The store's folder is a file now: nothing can be written there.
  std::filesystem::remove_all(config + "/Kestrova");
  WriteBytes(config + "/Kestrova", "not a folder");
  {
    MainWindowModel model;
    QtPlatform platform;
    MainWindow window(model, platform);
    window.Start();
    MessageBoxAnswers answers;
    window.close();
    EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);
    EXPECT_EQ(platform.ReadSetting("Settings", "MainLeft"), std::nullopt);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find(conf), std::string::npos) << answers.texts[0];
    EXPECT_NE(answers.texts[0].find("Not a directory"), std::string::npos) << answers.texts[0];
  }
  std::filesystem::remove(config + "/Kestrova");
}

// What may stand at the settings file's place, from start to exit: a file
// the Qt settings class wrote, a damaged file of 2 MiB (set aside unread,
// and a fresh one written at exit), a link to a pipe (written straight, the
// link and the pipe kept) and one with no reader (named with the reason).
TEST(QtPlatformTest, HostileSettingsFilesFromStartToExit) {
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  const std::string folder = config + "/Kestrova";
  const std::string conf = folder + "/Kestrova.conf";
  std::string damaged = "[Settings]\nMainLeft=1500\n";
  while (damaged.size() < (2u << 20)) damaged += "Key=Value\n";
  struct Case {
    const char* name;
    std::string file;     // the bytes at the settings file's place
    const char* link_to;  // else: a link to this, in the same folder
    QPoint start;
    const char* message;  // on exit; empty: none
  } cases[] = {
      {"written by the Qt settings class",
       "[Settings]\nMainHeight=6900\nMainLeft=1500\nMainTop=3000\nMainWidth=7500\n", nullptr,
       QPoint(100, 200), ""},
      {"damaged", damaged, nullptr, QPoint(67, 67), ""},
      {"link to a pipe", "", "fifo", QPoint(67, 67), ""},
      // Where a device node can be made: a regular file once took its place.
      {"link to a device", "", "device", QPoint(67, 67), ""},
      {"link to a pipe no one reads", "", "fifo-unread", QPoint(67, 67),
       "Nothing is reading from the pipe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    testing::PipeReader fifo(folder + "/fifo");
    testing::MakeFifo(folder + "/fifo-unread");
    if (!testing::MakeDeviceNode(folder + "/device") && c.link_to == std::string("device")) {
      continue;
    }
    if (c.link_to) {
      std::filesystem::create_symlink(c.link_to, conf);
    } else {
      WriteBytes(conf, c.file);
    }
    MainWindowModel model;
    QtPlatform platform;
    MainWindow window(model, platform);
    window.Start();
    EXPECT_EQ(window.pos(), c.start);
    MessageBoxAnswers answers;
    window.close();
    EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);
    if (*c.message) {
      ASSERT_EQ(answers.texts.size(), 1u);
      EXPECT_NE(answers.texts[0].find(conf), std::string::npos) << answers.texts[0];
      EXPECT_NE(answers.texts[0].find(c.message), std::string::npos) << answers.texts[0];
    } else {
      EXPECT_EQ(answers.texts, std::vector<std::string>{});
    }
    if (c.link_to) {
      EXPECT_TRUE(std::filesystem::is_symlink(conf));
      EXPECT_TRUE(std::filesystem::exists(folder + "/" + c.link_to));
      EXPECT_FALSE(std::filesystem::is_regular_file(folder + "/" + c.link_to));
      EXPECT_EQ(fifo.Drain().find("MainLeft=") != std::string::npos,
                c.link_to == std::string("fifo"));
    } else {
      EXPECT_NE(ReadBytes(conf).find("MainLeft="), std::string::npos);
      EXPECT_LT(std::filesystem::file_size(conf), 1024u);
    }
    if (c.file == damaged) {
      EXPECT_EQ(ReadBytes(conf + ".damaged"), damaged);
    }
  }
}

// The codec's table against Qt's own windows-1251 (ICU), byte by byte. ICU
// shows the unassigned 0x98 as U+0098; Kestrova as U+FFFD.
TEST(TextCodecTest, MatchesQtsWindows1251) {
  QStringDecoder decode("windows-1251");
  ASSERT_TRUE(decode.isValid());
  for (int b = 0x80; b < 0x100; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const QString expected =
        b == 0x98 ? QString(QChar(0xFFFD)) : decode(QByteArray(byte.data(), 1));
    EXPECT_EQ(QString::fromStdString(Cp1251ToUtf8(byte)), expected) << b;
  }
}

}  // namespace
}  // namespace kestrova
