// What the document asks of its frame: the view's text, the status bar, message boxes, the wait
// cursor, and the paths of Save As and Export Binary.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include "app/app_texts.h"
#include "app/main_frame.h"
#include "app/tolvex_view.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

}  // namespace

QString CMainFrame::AskSavePath(const QString& suggested) {
  if (askSavePath) return askSavePath(suggested);
  QString path = QFileDialog::getSaveFileName(this, Text(texts::kSaveAsTitle), suggested, Text(texts::kFileFilter));
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += Text(texts::kFileExtension);
  return path;
}

QString CMainFrame::AskExportPath(const QString& suggested) {
  if (askExportPath) return askExportPath(suggested);
  QString path = QFileDialog::getSaveFileName(this, Text(texts::kExportCaption), suggested, Text(texts::kExportFilter));
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += Text(texts::kExportExtension);
  return path;
}

QString CMainFrame::ViewText() const { return view_->toPlainText(); }

void CMainFrame::SetViewText(const QString& text) {
  settingViewText_ = true;
  view_->setPlainText(text);
  settingViewText_ = false;
}

void CMainFrame::SetViewModified(bool modified) { view_->document()->setModified(modified); }

void CMainFrame::DocumentTitleChanged() {
  const QString marker = doc_.IsModified() ? Text(texts::kModifiedMarker) : QString();
  setWindowTitle(doc_.Title() + marker + QLatin1String(" - ") + Text(texts::kWindowTitle));
}

void CMainFrame::SetStartupNote(const QString& note) {
  startupNote_ = note;
  if (note.isEmpty()) return;
  resultText_ = note;
  messagePane_->setText(note);
}

void CMainFrame::SetStatusText(std::string_view text) {
  statusBar()->clearMessage();
  resultText_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  messagePane_->setText(resultText_);
  // The command keeps the thread busy; paint the pane now rather than when the loop is back.
  // Progress changes at most once a byte, and a byte takes milliseconds on the bus.
  messagePane_->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CMainFrame::ShowError(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, this);
  box.exec();
}

void CMainFrame::ShowInformation(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Information,
                  QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                  QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, this);
  box.exec();
}

void CMainFrame::SetWaitCursor(bool wait) {
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

bool CMainFrame::ConfirmRisk(std::string_view question) {
  QMessageBox box(QMessageBox::Warning, Text(texts::kWindowTitle),
                  QString::fromLatin1(question.data(), static_cast<qsizetype>(question.size())),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool CMainFrame::ConfirmReplace(std::string_view question) {
  QMessageBox box(QMessageBox::Question, Text(texts::kWindowTitle),
                  QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())),
                  QMessageBox::Yes | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace tolvex
