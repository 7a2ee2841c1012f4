#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "app/startup.h"
#include "app/window_commands.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/options_panel.h"
#include "qt/about_window.h"
#include "qt/artwork.h"
#include "qt/entry_list_view.h"
#include "qt/qt_platform.h"
#include "qt/tint_background.h"
#include "sift/sift_list.h"

namespace kestrova {
namespace {

template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(TwipsRect(left, top, width, height));
  return widget;
}

// The platform's standard keys for a command, or `fallback` where the
// platform has none (a plain X11 desktop has no Save As or Quit key).
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key, const char* fallback) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (keys.isEmpty()) keys.append(QKeySequence(fallback));
  return keys;
}

// The first local file among dragged URLs, or nothing.
QString FirstLocalFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

// A placement in twips as logical pixels, kept within what a window system
// can take even when the stored value is absurd.
int PlacementPx(float twips) {
  const double px = std::round(static_cast<double>(twips) / kTwipsPerPixel);
  return static_cast<int>(std::clamp(px, -100000.0, 100000.0));
}

void ShowBar(QProgressBar* bar, const ProgressBarState& state) {
  const int maximum = std::max(1, static_cast<int>(std::lround(state.maximum)));
  bar->setRange(0, maximum);
  bar->setValue(std::clamp(static_cast<int>(std::lround(state.value)), 0, maximum));
  bar->setVisible(state.visible);
}

}  // namespace

MainWindow::MainWindow(MainWindowModel& model, Platform& platform)
    : model_(model), platform_(platform) {
  setObjectName("frmMain");
  setWindowTitle("     .:Kestrova v.1.0:.");
  setAcceptDrops(true);
  setWindowIcon(MainWindowIcon());
  setFont(ClassicFont(8.25));
  client_ = new TintBackground(model_.canvas, this);
  client_->setObjectName("frmMainClient");
  setCentralWidget(client_);
  BuildMenu();
  BuildControls();
  resize(Px(6420), Px(7200) + menuBar()->sizeHint().height());
  Refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenu() {
  auto item = [this](QMenu* menu, const char* name, const char* text,
                     std::function<void()> command) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    return action;
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  file->menuAction()->setObjectName("mnuFile");
  item(file, "mnuFileOpen", "&Open...", [this] {
    OpenList(model_, platform_);
  })->setShortcuts(StandardKeys(QKeySequence::Open, "Ctrl+O"));
  item(file, "mnuFileClose", "&Close", [this] { CloseList(model_); });
  file->addSeparator()->setObjectName("mnuFileBar0");
  item(file, "mnuFileSave", "&Save", [this] {
    SaveList(model_, platform_);
  })->setShortcuts(StandardKeys(QKeySequence::Save, "Ctrl+S"));
  item(file, "mnuFileSaveAs", "Save &As...", [this] {
    SaveListAs(model_, platform_);
  })->setShortcuts(StandardKeys(QKeySequence::SaveAs, "Ctrl+Shift+S"));
  file->addSeparator()->setObjectName("mnuFileBar1");
  item(file, "mnuFileExit", "E&xit", [this] {
    CapturePlacement();
    UnloadMainWindow(model_, platform_);
  })->setShortcuts(StandardKeys(QKeySequence::Quit, "Ctrl+Q"));
  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("mnuHelp");
  help->menuAction()->setObjectName("mnuHelp");
  item(help, "mnuHelpAbout", "&About ", [this] { ShowAbout(model_); });
}

void MainWindow::BuildToolBar() {
  auto* toolbar = Place(new QToolBar(client_), "tbToolBar", 0, 0, 6420, 420);
  toolbar_ = toolbar;
  // Docked along the top edge: the controls below keep their places in the
  // client area, and the bar follows its width.
  client_->installEventFilter(this);
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setAutoFillBackground(true);
  for (const QString key : {"Open", "Save", "", "Help"}) {
    QAction* action =
        toolbar->addAction(key.isEmpty() ? QIcon() : QIcon(ToolbarImage(key)), QString());
    action->setToolTip(key);
    action->setData(key);
    QWidget* button = toolbar->widgetForAction(action);
    button->setObjectName(key.isEmpty() ? QString("tbButtonNoKey") : "tbButton" + key);
    button->setAccessibleName(key);
    connect(action, &QAction::triggered, this, [this, key] {
      Run([this, key] { DispatchToolbarButton(model_, platform_, key.toStdString()); });
    });
  }
}

void MainWindow::BuildControls() {
  progress_bar2_ = Place(new QProgressBar(client_), "ProgressBar2", 120, 840, 255, 4335);
  progress_bar2_->setOrientation(Qt::Vertical);
  progress_bar2_->setTextVisible(false);
  progress_bar2_->setAccessibleName("Заполнение списка");
  commands_[2] = Place(new QPushButton("Опции", client_), "Command3", 3960, 2640, 1935, 375);
  progress_bar1_ = Place(new QProgressBar(client_), "ProgressBar1", 120, 5520, 5700, 180);
  progress_bar1_->setTextVisible(false);
  progress_bar1_->setAccessibleName("Ход отсева");
  commands_[3] = Place(new QPushButton("Отсеить", client_), "Command4", 3960, 2160, 1935, 375);
  commands_[1] = Place(new QPushButton("Очистить", client_), "Command2", 3960, 3120, 1935, 375);
  commands_[0] = Place(new QPushButton("Выход", client_), "Command1", 3960, 3600, 1935, 375);
  BuildToolBar();
  BuildOptionsFrame();
  list1_ = Place(new QListView(client_), "List1", 360, 840, 3375, 4350);
  entries_ = new EntryListModel(model_.list1, list1_);
  list1_->setModel(entries_);
  list1_->setUniformItemSizes(true);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setAccessibleName("Список прокси");
  label3_ = Place(new QLabel("0", client_), "Label3", 5040, 840, 855, 255);
  auto* label2 = Place(new QLabel("Элементов :", client_), "Label2", 3840, 840, 1095, 255);
  label2->setFont(ClassicFont(8.25, true));
  label1_ = Place(new QLabel(client_), "Label1", 120, 480, 5775, 255);
  label3_->setBuddy(list1_);
  // Labels are drawn on the window itself, under every other control: the
  // options panel covers them.
  for (QLabel* label : {label1_, label2, label3_}) label->lower();

  connect(commands_[0], &QPushButton::clicked, this,
          [this] { Run([this] { QuitImmediately(model_); }); });
  connect(commands_[1], &QPushButton::clicked, this,
          [this] { Run([this] { ClearList(model_); }); });
  connect(commands_[2], &QPushButton::clicked, this,
          [this] { Run([this] { ShowOptionsPanel(model_); }); });
  connect(commands_[3], &QPushButton::clicked, this, [this] { Run([this] { SiftList(model_); }); });

  QWidget* order[] = {findChild<QToolBar*>("tbToolBar"),
                      list1_,
                      commands_[0],
                      commands_[1],
                      commands_[3],
                      commands_[2]};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  setTabOrder(commands_[2], checks_[0]);
}

void MainWindow::BuildOptionsFrame() {
  frame1_ = Place(new TintedFrame("Опции", client_, client_), "Frame1", 120, 480, 6135, 5415);
  frame1_->hide();
  auto check = [this](int index, const char* name, const char* text, const char* tip, int left,
                      int top, int width, int height) {
    auto* box =
        Place(new QCheckBox(QString::fromUtf8(text), frame1_), name, left, top, width, height);
    box->setToolTip(QString::fromUtf8(tip));
    int* field[] = {&model_.check1, &model_.check2, &model_.check3, &model_.check4};
    connect(box, &QCheckBox::toggled, this, [f = field[index]](bool on) { *f = on ? 1 : 0; });
    checks_[static_cast<size_t>(index)] = box;
  };
  check(3, "Check4", "       Отсеевать одинаковые Proxy", "  Непонял - значит недано !!! ", 120,
        2640, 5175, 375);
  check(2, "Check3", "       Отсеевать  числовый Proxy", "Отсеивает прохи вида (192.168.0.1:80)",
        120, 2160, 5175, 255);
  check(1, "Check2", "       Отсеевать текстовые Proxy",
        "Отсеивает прохи вида (www.proxy.example:80)", 120, 1560, 4935, 375);
  combo1_ = Place(new QComboBox(frame1_), "Combo1", 2280, 360, 2775, 315);
  combo1_->setEditable(true);
  combo1_->setInsertPolicy(QComboBox::NoInsert);
  // The tint name is compared exactly, so the field keeps what the user
  // typed: Qt's completer would complete "Зел" and turn "серый" into "Серый".
  combo1_->setCompleter(nullptr);
  for (const char* name : {"Серый", "Красный", "Зеленый", "Синий", "Бирюзовый", "Золотой"}) {
    combo1_->addItem(QString::fromUtf8(name), 0);
  }
  combo1_->setEditText("Серый");
  connect(combo1_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { model_.combo1_text = text.toStdString(); });
  auto* apply = Place(new QPushButton("Применить", frame1_), "Command5", 4200, 4440, 1575, 255);
  connect(apply, &QPushButton::clicked, this,
          [this] { Run([this] { ApplyOptions(model_, platform_); }); });
  check(0, "Check1", "        Считывать элементы похожие на Proxy",
        "Считывает элементы из файла начинающиеся www.,\"xx.\",\"xxx.\"", 120, 1080, 3735, 375);
  auto* label4 = Place(new QLabel("Интерфейс с оттенком", frame1_), "Label4", 120, 360, 1935, 255);
  label4->setToolTip(" Не для дальтоников !!!");
  label4->setBuddy(combo1_);

  QWidget* order[] = {checks_[0], apply, combo1_, checks_[1], checks_[2], checks_[3]};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void MainWindow::Start() {
  LoadMainWindow(model_, platform_);
  Refresh();
  ApplyPlacement();
  show();
}

void MainWindow::Refresh() {
  entries_->Sync();
  label1_->setText(PathToQt(model_.label1));
  label3_->setText(QString::fromStdString(model_.label3));
  const int values[] = {model_.check1, model_.check2, model_.check3, model_.check4};
  for (size_t i = 0; i < checks_.size(); ++i) {
    const QSignalBlocker quiet(checks_[i]);
    checks_[i]->setChecked(values[i] == 1);
  }
  const QString tint = QString::fromStdString(model_.combo1_text);
  if (combo1_->currentText() != tint) combo1_->setEditText(tint);
  ShowBar(progress_bar1_, model_.progress_bar1);
  ShowBar(progress_bar2_, model_.progress_bar2);
  list1_->setVisible(model_.list1_visible);
  const bool visible[] = {model_.command1_visible, model_.command2_visible, model_.command3_visible,
                          model_.command4_visible};
  for (size_t i = 0; i < commands_.size(); ++i) commands_[i]->setVisible(visible[i]);
  frame1_->setVisible(model_.frame1_visible);
  if (painted_revision_ != model_.canvas.Revision()) {
    painted_revision_ = model_.canvas.Revision();
    client_->update();
  }
  SyncAbout();
}

void MainWindow::Run(const std::function<void()>& command) {
  command();
  Refresh();
  HandleEndRequest();
}

void MainWindow::OpenFile(const std::string& path) {
  Run([this, path] { ImportListFile(model_, platform_, path); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!FirstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = FirstLocalFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // After the drop has ended: the drag's source is not kept waiting while a
  // message is open.
  QTimer::singleShot(0, this, [this, path = PathFromQt(file)] { OpenFile(path); });
}

void MainWindow::HandleEndRequest() {
  switch (model_.end_request) {
    case EndRequest::kNone:
      return;
    case EndRequest::kImmediately:
      unloaded_ = true;  // the unload step is skipped on this way out
      QCoreApplication::exit(0);
      return;
    case EndRequest::kAfterUnload:
      unloaded_ = true;
      close();
      QCoreApplication::quit();
      return;
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) {
    toolbar_->resize(client_->width(), toolbar_->height());
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!unloaded_) {
    unloaded_ = true;
    CapturePlacement();
    UnloadMainWindow(model_, platform_);
    Refresh();
    QCoreApplication::quit();
  }
  event->accept();
}

void MainWindow::CapturePlacement() {
  Placement& p = model_.placement;
  p.window_state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
  if (p.window_state == 1) return;
  p.left = static_cast<float>(pos().x() * kTwipsPerPixel);
  p.top = static_cast<float>(pos().y() * kTwipsPerPixel);
  p.width = static_cast<float>(width() * kTwipsPerPixel);
  p.height = static_cast<float>(height() * kTwipsPerPixel);
}

void MainWindow::ApplyPlacement() {
  const Placement& p = model_.placement;
  move(PlacementPx(p.left), PlacementPx(p.top));
  resize(std::max(1, PlacementPx(p.width)), std::max(1, PlacementPx(p.height)));
}

void MainWindow::SyncAbout() {
  const AboutState state = model_.about.state;
  if (about_ &&
      (state == AboutState::kNotCreated || about_generation_ != model_.about.generation)) {
    about_->CloseQuietly();
    about_->deleteLater();
    about_ = nullptr;
  }
  if (state == AboutState::kNotCreated) return;
  if (!about_) {
    about_generation_ = model_.about.generation;
    about_ = new AboutWindow(
        model_.about.canvas, this, [this] { Run([this] { HideAbout(model_); }); },
        [this] { Run([this] { DestroyAbout(model_); }); });
    about_->move(frameGeometry().center() - about_->rect().center());
  }
  if (state == AboutState::kShown && !about_->isVisible()) {
    about_->show();
    about_->raise();
  } else if (state == AboutState::kHidden) {
    about_->hide();
  }
}

}  // namespace kestrova
