// What the document asks of its frame: the view's text, the status bar, message boxes, the wait
// cursor, and the paths of Save As and Export Binary.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/app_texts.h"
#include "app/edid_history.h"
#include "app/main_frame.h"
#include "app/tolvex_view.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

// Puts `text` into `view` by rewriting only the lines that differ: an edit changes a few lines
// of a report of hundreds (a value, the checksum, their rows in the dump), and laying them all
// out again would cost a keystroke more than everything else it does. When the number of lines
// changes, the stretch between the lines both texts begin and end with is replaced. The view
// keeps its scroll position; like setPlainText, it leaves nothing to undo.
void ReplaceChangedLines(QPlainTextEdit& view, const QString& text) {
  QTextDocument& document = *view.document();
  const QStringList lines = text.split(QLatin1Char('\n'));
  document.setUndoRedoEnabled(false);
  QTextCursor cursor(&document);
  if (lines.size() == document.blockCount()) {
    QTextBlock block = document.begin();
    for (const QString& line : lines) {
      if (block.text() != line) {
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(line);
      }
      block = block.next();
    }
  } else {
    const QString old = view.toPlainText();
    const qsizetype common = std::min(old.size(), text.size());
    qsizetype head = 0;
    while (head < common && old[head] == text[head]) ++head;
    while (head > 0 && old[head - 1] != QLatin1Char('\n')) --head;
    qsizetype tail = 0;
    while (tail < common - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail]) ++tail;
    while (tail > 0 && old[old.size() - tail] != QLatin1Char('\n')) --tail;
    cursor.setPosition(static_cast<int>(head));
    cursor.setPosition(static_cast<int>(old.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(text.mid(head, text.size() - tail - head));
  }
  document.setUndoRedoEnabled(true);
}

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

EditResult CMainFrame::ApplyEdit(const QString& name, const std::function<EditResult(EdidData&)>& edit,
                                 const QString& mergeKey) {
  EdidExtensions& extensions = doc_.Extensions();
  const EdidData before = JoinWholeEdid(block_.Bytes(), extensions);
  EdidData after = before;
  EditResult result = Transact(after, edit);
  if (!result.Ok() || after == before) return result;
  // The changed bytes, from the first to the last, over every block before and after.
  const size_t common = std::min(before.size(), after.size());
  size_t first = 0;
  while (first < common && before[first] == after[first]) ++first;
  size_t last = std::max(before.size(), after.size()) - 1;
  while (last < common && last > first && before[last] == after[last]) --last;
  last = std::min(last, after.size() - 1);
  followingEdit_ = true;
  history_->Record(name, [&] {
    const WholeEdid whole = SplitWholeEdid(after);
    block_.Bytes() = whole.base;
    extensions.blocks = whole.extensions.blocks;
    // Edited on purpose, as a finished wizard run is: the EDID is taken as it stands.
    extensions.missingBytes = 0;
    extensions.storedChecksum.reset();
    doc_.ShowEditedEdid(static_cast<int>(std::min(first, last)), static_cast<int>(last));
  }, mergeKey);
  followingEdit_ = false;
  return result;
}

EdidData CMainFrame::CurrentEdid() const { return JoinWholeEdid(block_.Bytes(), doc_.Extensions()); }

QString CMainFrame::ViewText() const { return view_->toPlainText(); }

void CMainFrame::SetViewText(const QString& text) {
  settingViewText_ = true;
  if (followingEdit_) ReplaceChangedLines(*view_, text);
  else view_->setPlainText(text);
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
