// The main window: menus, toolbar and status bar of the command table, the report view, the one
// EDID block and the "EDID codes" window. Commands go to the document unless the frame handles
// them itself (the code window, the toolbar and status bar, files and printing).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <map>
#include <memory>

#include "app/command_table.h"
#include "app/edid_code_dlg.h"
#include "document/document_frame.h"
#include "model/edid_edit.h"
#include "model/edid_block.h"

class QActionGroup;
class QComboBox;
class QKeyEvent;
class QLabel;
class QPrinter;

namespace tolvex {

class CCheckPane;
class CCompareWindow;
class CEdidHistory;
class CStructurePane;

class CTolvexDoc;
class CTolvexView;

class CMainFrame : public QMainWindow, public DocumentFrame {
  Q_OBJECT

 public:
  CMainFrame(CTolvexDoc& doc, bool splash);
  ~CMainFrame() override;

  CTolvexView& View() { return *view_; }
  QAction* Action(CommandId id) const { return actions_.at(id); }
  QLabel* MessagePane() const { return messagePane_; }
  // The "CAP", "NUM" or "SCRL" pane of a lock key; enabled while the lock is on.
  QLabel* LockPane(int key) const { return lockIndicators_.at(key); }
  QWidget* Splash() const { return splash_; }
  // The toolbar's list of the channels to choose among, and their menu items after the three.
  QComboBox* ChannelChoice() const { return channelChoice_; }
  const QList<QAction*>& ChannelOptionActions() const { return channelOptionActions_; }
  const QStringList& RecentFiles() const { return recentFiles_; }
  bool IsWaitCursorShown() const { return waitCursor_; }
  CCheckPane& CheckPane() { return *checkPane_; }
  CStructurePane& StructurePane() { return *structurePane_; }
  CEdidHistory& EdidHistory() { return *history_; }
  // The "Compare with..." window; nothing until the command first runs.
  CCompareWindow* CompareWindow() const { return compareWindow_; }

  // Runs `edit` on the whole EDID as one undoable step named `name`. Done, the EDID is shown
  // everywhere (code window with the changed bytes selected, report view, Check pane, Structure
  // panel) and the document is modified; refused, nothing changes, no step is kept, and the
  // result carries the reason for the caller to show. Edits with the same `mergeKey` one after
  // the other are one step (the keystrokes of one entry in a field).
  EditResult ApplyEdit(const QString& name, const std::function<EditResult(EdidData&)>& edit,
                       const QString& mergeKey = {});
  // The whole EDID as it stands: the base block and every extension block.
  EdidData CurrentEdid() const;

  // Opens a file as File/Open does (after asking to save a modified document).
  bool OpenDocumentFile(const QString& path);
  // The enabling and check marks of every command, from the document's and the frame's state.
  void UpdateCommandUi();
  // Text for the message pane that stays until a command replaces it (why ports are missing).
  void SetStartupNote(const QString& note);

  // DocumentFrame
  EdidBlock& Block() override { return block_; }
  CEdidCodeDlg& CodeWindow() override;
  bool IsCodeWindowShown() const override { return codeWindowShown_; }
  void SetCodeWindowShown(bool shown) override { codeWindowShown_ = shown; }
  void OnEdidCode() override;
  // Shows the code window above the frame (once the frame itself is on the screen).
  void RaiseCodeWindow() override;
  QString ViewText() const override;
  void SetViewText(const QString& text) override;
  void SetViewModified(bool modified) override;
  void DocumentTitleChanged() override;
  QWidget* Window() override { return this; }
  QString AskSavePath(const QString& suggested) override;
  QString AskExportPath(const QString& suggested) override;
  void SetStatusText(std::string_view text) override;
  QString StatusText() const override { return resultText_; }
  void ShowError(std::string_view text, std::string_view caption) override;
  void SetWaitCursor(bool wait) override;
  void ShowInformation(std::string_view text, std::string_view caption) override;
  bool ConfirmRisk(std::string_view question) override;
  bool ConfirmReplace(std::string_view question) override;

  // The framework's file dialogs; tests replace them.
  std::function<QString()> askOpenPath;
  std::function<QString()> askComparePath;
  std::function<QString(const QString& suggested)> askSavePath;
  std::function<QString(const QString& suggested)> askExportPath;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateChannelChoices(QMenu& channelMenu);
  // Chooses a channel from the menu or the toolbar list, never in the middle of a transfer.
  void ChooseChannelOption(int index);
  void CreateCheckPane();
  void CreateStructurePane();
  void ShowBytesInCodeWindow(int first, int last);
  void ShowSplash();
  void HideSplash();
  void FollowLockKey(const QKeyEvent& event);
  void RunCommand(CommandId id);
  void EnableCommand(CommandId id, bool enabled, const QString& whyNot);
  void RebuildRecentFileMenu();
  void AddRecentFile(const QString& path);
  void LoadRecentFiles();
  void SaveRecentFiles() const;
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  // Asks for another EDID file and shows how it differs from the document; a file that cannot be
  // read says so as File Open does and changes nothing.
  void OnFileCompare();
  void OnFilePrint();
  void OnFilePrintPreview();
  void OnFilePrintSetup();
  void OnAppAbout();

  CTolvexDoc& doc_;
  EdidBlock block_;
  CTolvexView* view_;
  std::unique_ptr<CEdidCodeDlg> codeWindow_;
  CCheckPane* checkPane_ = nullptr;
  CStructurePane* structurePane_ = nullptr;
  CEdidHistory* history_ = nullptr;
  CCompareWindow* compareWindow_ = nullptr;
  bool codeWindowShown_ = false;
  std::map<int, QAction*> actions_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  QList<QAction*> recentActions_;
  QStringList recentFiles_;
  QToolBar* toolBar_ = nullptr;
  QComboBox* channelChoice_ = nullptr;
  QList<QAction*> channelOptionActions_;
  QLabel* messagePane_ = nullptr;
  std::map<int, QLabel*> lockIndicators_;
  QPointer<QWidget> splash_;
  std::unique_ptr<QPrinter> printer_;
  QString startupNote_;
  // What the last command left in the message pane; a command's prompt covers it only for as long
  // as the pointer rests on the command.
  QString resultText_;
  bool waitCursor_ = false;
  bool settingViewText_ = false;
  // The view's text is being rewritten for an edit of the EDID: only the lines that changed.
  bool followingEdit_ = false;
  // A command that drives the bus is running; a close asked for meanwhile waits for its end.
  bool transferRunning_ = false;
  bool closeAfterTransfer_ = false;
};

}  // namespace tolvex
