// The main window on Qt: builds the controls, shows the model and forwards
// every click to its command. It holds no state of its own.
#ifndef KESTROVA_QT_MAIN_WINDOW_H_
#define KESTROVA_QT_MAIN_WINDOW_H_

#include <QMainWindow>
#include <array>
#include <functional>

#include "ui/platform.h"
#include "ui/ui_model.h"
#include "ui/window_layout.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QToolBar;

namespace kestrova {

class AboutWindow;
class EntryListModel;
class TintBackground;

class MainWindow : public QMainWindow {
 public:
  MainWindow(MainWindowModel& model, Platform& platform);
  ~MainWindow() override;

  // Runs the load step, places the window and shows it.
  void Start();
  // Brings every widget in line with the model.
  void Refresh();
  // Runs one command on the model, then shows the result.
  void Run(WindowCommand command);
  void Run(const std::function<void()>& command);
  // Opens a list file given from outside (the command line, a drop), as
  // File > Open does once the file is chosen.
  void OpenFile(const std::string& path);

  AboutWindow* About() const { return about_; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  void BuildToolBar();
  void BuildControls();
  void BuildOptionsFrame();
  void ConnectButton(QPushButton* button);
  void SetTabOrder();
  void CapturePlacement();
  void ApplyPlacement();
  void SyncAbout();
  void HandleEndRequest();

  MainWindowModel& model_;
  Platform& platform_;
  TintBackground* client_ = nullptr;
  EntryListModel* entries_ = nullptr;
  QListView* list1_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label3_ = nullptr;
  std::array<QCheckBox*, 4> checks_{};
  QComboBox* combo1_ = nullptr;
  QProgressBar* progress_bar1_ = nullptr;
  QProgressBar* progress_bar2_ = nullptr;
  std::array<QPushButton*, 4> commands_{};  // Command1 to Command4
  QGroupBox* frame1_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  AboutWindow* about_ = nullptr;
  int about_generation_ = 0;
  std::uint64_t painted_revision_ = ~std::uint64_t{0};
  bool unloaded_ = false;
};

}  // namespace kestrova

#endif  // KESTROVA_QT_MAIN_WINDOW_H_
