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
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/startup.h"
#include "app/window_commands.h"
#include "listfile/dropped_files.h"
#include "listfile/list_import.h"
#include "qt/about_window.h"
#include "qt/artwork.h"
#include "qt/button_keys.h"
#include "qt/entry_list_view.h"
#include "qt/qt_platform.h"
#include "qt/tint_background.h"
#include "ui/window_layout.h"

namespace kestrova {
namespace {

// A control of the main window as designed: name, place, tooltip, font.
template <typename W>
W* Place(W* widget, const char* name) {
  const ControlLayout& layout = FindControl(MainWindowLayout(), name);
  widget->setObjectName(name);
  widget->setGeometry(ToQRect(layout.rect));
  if (*layout.tooltip) widget->setToolTip(QString::fromUtf8(layout.tooltip));
  if (layout.font_points > 0) widget->setFont(ClassicFont(layout.font_points, layout.bold));
  return widget;
}

QString TextOf(const char* name) {
  return QString::fromUtf8(FindControl(MainWindowLayout(), name).text);
}

// The platform's standard key for a menu command, where it has one.
QKeySequence::StandardKey StandardKeyFor(WindowCommand command) {
  switch (command) {
    case WindowCommand::kOpenList:
      return QKeySequence::Open;
    case WindowCommand::kSaveList:
      return QKeySequence::Save;
    case WindowCommand::kSaveListAs:
      return QKeySequence::SaveAs;
    case WindowCommand::kUnloadMainWindow:
      return QKeySequence::Quit;
    default:
      return QKeySequence::UnknownKey;
  }
}

// The platform's standard keys for a command, or `fallback` where the
// platform has none (a plain X11 desktop has no Save As or Quit key).
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key, const char* fallback) {
  QList<QKeySequence> keys;
  if (key != QKeySequence::UnknownKey) keys = QKeySequence::keyBindings(key);
  if (keys.isEmpty()) keys.append(QKeySequence(fallback));
  return keys;
}

// The first local file among dragged URLs, by the exact bytes of its name
// (QUrl would make text of it), or nothing.
std::string FirstDroppedFile(const QMimeData* data) {
  if (!data || !data->hasFormat("text/uri-list")) return {};
  return FirstLocalFile(data->data("text/uri-list").toStdString());
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
  const WindowLayout& layout = MainWindowLayout();
  setObjectName(layout.name);
  setWindowTitle(QString::fromUtf8(layout.caption));
  setAcceptDrops(true);
  setWindowIcon(MainWindowIcon());
  setFont(ClassicFont(layout.font_points));
  client_ = new TintBackground(model_.canvas, this);
  client_->setObjectName("frmMainClient");
  setCentralWidget(client_);
  BuildMenu();
  BuildControls();
  resize(Px(layout.client_width), Px(layout.client_height) + menuBar()->sizeHint().height());
  Refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenu() {
  for (const MenuLayout& menu_layout : MainMenuLayout()) {
    QMenu* menu = menuBar()->addMenu(menu_layout.text);
    menu->setObjectName(menu_layout.name);
    menu->menuAction()->setObjectName(menu_layout.name);
    for (const MenuItemLayout& item : menu_layout.items) {
      if (!*item.text) {
        menu->addSeparator()->setObjectName(item.name);
        continue;
      }
      QAction* action = menu->addAction(QString::fromUtf8(item.text));
      action->setObjectName(item.name);
      if (*item.keys) action->setShortcuts(StandardKeys(StandardKeyFor(item.command), item.keys));
      connect(action, &QAction::triggered, this, [this, command = item.command] { Run(command); });
    }
  }
}

void MainWindow::BuildToolBar() {
  auto* toolbar = Place(new QToolBar(client_), "tbToolBar");
  toolbar_ = toolbar;
  // Docked along the top edge: the controls below keep their places in the
  // client area, and the bar follows its width.
  client_->installEventFilter(this);
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setAutoFillBackground(true);
  for (const char* key_text : ToolbarKeys()) {
    const QString key = key_text;
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
  // In the window's own order of creation, which stacks them.
  progress_bar2_ = Place(new QProgressBar(client_), "ProgressBar2");
  progress_bar2_->setOrientation(Qt::Vertical);
  progress_bar2_->setTextVisible(false);
  progress_bar2_->setAccessibleName("Заполнение списка");
  commands_[2] = Place(new QPushButton(TextOf("Command3"), client_), "Command3");
  progress_bar1_ = Place(new QProgressBar(client_), "ProgressBar1");
  progress_bar1_->setTextVisible(false);
  progress_bar1_->setAccessibleName("Ход отсева");
  commands_[3] = Place(new QPushButton(TextOf("Command4"), client_), "Command4");
  commands_[1] = Place(new QPushButton(TextOf("Command2"), client_), "Command2");
  commands_[0] = Place(new QPushButton(TextOf("Command1"), client_), "Command1");
  BuildToolBar();
  BuildOptionsFrame();
  list1_ = Place(new QListView(client_), "List1");
  entries_ = new EntryListModel(model_.list1, list1_);
  list1_->setModel(entries_);
  list1_->setUniformItemSizes(true);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setAccessibleName("Список прокси");
  label3_ = Place(new QLabel(TextOf("Label3"), client_), "Label3");
  auto* label2 = Place(new QLabel(TextOf("Label2"), client_), "Label2");
  label1_ = Place(new QLabel(client_), "Label1");
  label3_->setBuddy(list1_);
  // Labels are drawn on the window itself, under every other control: the
  // options panel covers them.
  for (QLabel* label : {label1_, label2, label3_}) label->lower();

  for (QPushButton* button : commands_) ConnectButton(button);
  PressButtonsWithEnter(client_);
  SetTabOrder();
}

void MainWindow::ConnectButton(QPushButton* button) {
  const WindowCommand command =
      FindControl(MainWindowLayout(), button->objectName().toStdString()).command;
  connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
}

void MainWindow::SetTabOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const ControlLayout& control : MainWindowLayout().controls) {
    // Labels, frames and progress bars never take the focus.
    const ControlKind k = control.kind;
    if (k != ControlKind::kToolBar && k != ControlKind::kListBox && k != ControlKind::kButton &&
        k != ControlKind::kCheckBox && k != ControlKind::kComboBox) {
      continue;
    }
    if (QWidget* widget = findChild<QWidget*>(control.name))
      order.emplace_back(control.tab, widget);
  }
  std::sort(order.begin(), order.end());
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);
}

void MainWindow::BuildOptionsFrame() {
  frame1_ = Place(new TintedFrame(TextOf("Frame1"), client_, client_), "Frame1");
  frame1_->hide();
  auto check = [this](int index, const char* name) {
    auto* box = Place(new QCheckBox(TextOf(name), frame1_), name);
    int* field[] = {&model_.check1, &model_.check2, &model_.check3, &model_.check4};
    connect(box, &QCheckBox::toggled, this, [f = field[index]](bool on) { *f = on ? 1 : 0; });
    checks_[static_cast<size_t>(index)] = box;
  };
  check(3, "Check4");
  check(2, "Check3");
  check(1, "Check2");
  combo1_ = Place(new QComboBox(frame1_), "Combo1");
  combo1_->setEditable(true);
  combo1_->setInsertPolicy(QComboBox::NoInsert);
  // The tint name is compared exactly, so the field keeps what the user
  // typed: Qt's completer would complete "Зел" and turn "серый" into "Серый".
  combo1_->setCompleter(nullptr);
  for (const char* name : TintSelectorItems()) combo1_->addItem(QString::fromUtf8(name), 0);
  combo1_->setEditText(TextOf("Combo1"));
  connect(combo1_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { model_.combo1_text = text.toStdString(); });
  ConnectButton(Place(new QPushButton(TextOf("Command5"), frame1_), "Command5"));
  check(0, "Check1");
  auto* label4 = Place(new QLabel(TextOf("Label4"), frame1_), "Label4");
  label4->setBuddy(combo1_);
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
    ShowTextsOverTint(client_, client_, MainWindowLayout(), model_.canvas);
    client_->update();
  }
  SyncAbout();
}

void MainWindow::Run(WindowCommand command) {
  // The unload step saves where the window is now.
  if (command == WindowCommand::kUnloadMainWindow) CapturePlacement();
  Run([this, command] { RunWindowCommand(command, model_, platform_); });
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
  if (!FirstDroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!FirstDroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::string path = FirstDroppedFile(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  // After the drop has ended: the drag's source is not kept waiting while a
  // message is open.
  QTimer::singleShot(0, this, [this, path = std::move(path)] { OpenFile(path); });
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

void MainWindow::changeEvent(QEvent* event) {
  // A new desktop theme: the texts over the tint are chosen again.
  const QEvent::Type type = event->type();
  if ((type == QEvent::PaletteChange || type == QEvent::ApplicationPaletteChange) && client_) {
    ShowTextsOverTint(client_, client_, MainWindowLayout(), model_.canvas);
  }
  QMainWindow::changeEvent(event);
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
