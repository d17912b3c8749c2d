// The File menu of the frame: opening (from the menu, the recent-file list or a drop), saving
// and printing the report.
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <QShortcut>

#include "app/app_texts.h"
#include "app/command_table.h"
#include "app/compare_window.h"
#include "app/main_frame.h"
#include "app/tolvex_view.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

constexpr char kRecentGroup[] = "Recent File List";
constexpr char kRecentEntry[] = "File%1";

}  // namespace

bool CMainFrame::OpenDocumentFile(const QString& path) {
  if (transferRunning_ || !doc_.SaveModified()) return false;
  const bool opened = doc_.OnOpenDocument(path);
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (opened) {
    AddRecentFile(absolute);
  } else if (!QFileInfo::exists(path) && recentFiles_.removeAll(absolute) > 0) {
    // A recent file that has gone away leaves the list.
    RebuildRecentFileMenu();
    SaveRecentFiles();
  }
  UpdateCommandUi();
  return opened;
}

void CMainFrame::OnFileOpen() {
  const QString path = askOpenPath ? askOpenPath()
                                   : QFileDialog::getOpenFileName(this, QString(), QString(), Text(texts::kOpenFilters));
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMainFrame::OnFileCompare() {
  const QString path =
      askComparePath ? askComparePath()
                     : QFileDialog::getOpenFileName(this, Text(texts::kComparePathCaption), QString(), Text(texts::kOpenFilters));
  if (path.isEmpty()) return;
  std::optional<std::vector<uint8_t>> other = doc_.ReadOtherEdid(path);
  if (!other) return;
  if (!compareWindow_) {
    compareWindow_ = new CCompareWindow(
        [this] { return CCompareWindow::Current{doc_.Title(), JoinWholeEdid(block_.Bytes(), doc_.Extensions())}; }, this);
    addDockWidget(Qt::RightDockWidgetArea, compareWindow_);
    resizeDocks({compareWindow_}, {compareWindow_->PreferredWidth()}, Qt::Horizontal);
  }
  compareWindow_->CompareWith(QFileInfo(path).fileName(), std::move(*other));
  compareWindow_->show();
  compareWindow_->raise();
}

void CMainFrame::OnFileSave() {
  if (doc_.DoFileSave()) AddRecentFile(doc_.PathName());
}

void CMainFrame::OnFileSaveAs() {
  if (doc_.DoSave(QString(), true)) AddRecentFile(doc_.PathName());
}

void CMainFrame::OnFilePrint() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  QPrintDialog dialog(printer_.get(), this);
  if (dialog.exec() == QDialog::Accepted) view_->Print(*printer_, doc_.Title());
}

void CMainFrame::OnFilePrintPreview() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  QPrintPreviewDialog preview(printer_.get(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, view_, [this](QPrinter* printer) { view_->Print(*printer, doc_.Title()); });
  if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) {
    // setCurrentPage moves the view but not the dialog's page counter, which follows previewChanged.
    const auto turn = [pages](int by) {
      pages->setCurrentPage(pages->currentPage() + by);
      emit pages->previewChanged();
    };
    auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), &preview);
    connect(next, &QShortcut::activated, pages, [turn] { turn(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), &preview);
    connect(previous, &QShortcut::activated, pages, [turn] { turn(-1); });
  }
  preview.exec();
}

void CMainFrame::OnFilePrintSetup() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  QPageSetupDialog dialog(printer_.get(), this);
  dialog.exec();
}

void CMainFrame::LoadRecentFiles() {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, Text(texts::kCompanyKey),
                  Text(texts::kApplicationTitle));
  store.beginGroup(Text(kRecentGroup));
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString path = store.value(Text(kRecentEntry).arg(i)).toString();
    if (!path.isEmpty()) recentFiles_ << path;
  }
  RebuildRecentFileMenu();
}

void CMainFrame::SaveRecentFiles() const {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, Text(texts::kCompanyKey),
                  Text(texts::kApplicationTitle));
  store.remove(Text(kRecentGroup));
  store.beginGroup(Text(kRecentGroup));
  for (int i = 0; i < recentFiles_.size(); ++i) store.setValue(Text(kRecentEntry).arg(i + 1), recentFiles_[i]);
}

void CMainFrame::AddRecentFile(const QString& path) {
  if (path.isEmpty()) return;
  recentFiles_.removeAll(path);
  recentFiles_.prepend(path);
  while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
  RebuildRecentFileMenu();
  SaveRecentFiles();
}

void CMainFrame::RebuildRecentFileMenu() {
  for (QAction* action : recentActions_) fileMenu_->removeAction(action);
  qDeleteAll(recentActions_);
  recentActions_.clear();
  QAction* placeholder = actions_[kCmdFileMru];
  placeholder->setVisible(recentFiles_.isEmpty());
  for (int i = 0; i < recentFiles_.size(); ++i) {
    const QString path = recentFiles_[i];
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
    action->setStatusTip(Text(FindCommand(kCmdFileMru).prompt));
    connect(action, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
    fileMenu_->insertAction(recentSeparator_, action);
    recentActions_ << action;
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (transferRunning_ || urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  activateWindow();
  OpenDocumentFile(urls.first().toLocalFile());
}

}  // namespace tolvex
