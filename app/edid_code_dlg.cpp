#include "app/edid_code_dlg.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>

#include <cmath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "model/hex_digit.h"
#include "report/code_dump.h"

namespace tolvex {

namespace {

// The edit box separates rows with one line feed where the dump text has CR LF, so a row there is
// 39 characters long. These map dump positions to the box's and back.
constexpr int kBoxRowLength = kCodeRowLength - 1;

int ToBoxPosition(int position) {
  return position / kCodeRowLength * kBoxRowLength + std::min(position % kCodeRowLength, kBoxRowLength - 1);
}

int FromBoxPosition(int position) {
  return position / kBoxRowLength * kCodeRowLength + position % kBoxRowLength;
}

QString ToBoxText(const std::string& text) {
  QString box = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  box.remove(QLatin1Char('\r'));
  return box;
}

QFont CodeFont() {
  QFont font(QString::fromLatin1(texts::kCodeFontFamily));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(10);
  if (!QFontInfo(font).fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
  }
  return font;
}

// Rows the box shows at once: the base block's 16 alone; with extensions, the base block and the
// first extension, the rest by scrolling.
constexpr int kWholeVisibleRows = CodeBlockFirstRow(2) - 1;

const std::vector<EdidBytes> kNoExtensions;

}  // namespace

CEdidCodeDlg::CEdidCodeDlg(EdidBlock& block, const EdidExtensions& extensions, QWidget* owner)
    : CEdidCodeDlg(block, owner) {
  extensions_ = &extensions;
}

CEdidCodeDlg::CEdidCodeDlg(EdidBlock& block, QWidget* owner)
    : QDialog(owner, Qt::Tool), block_(block), edit_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromLatin1(texts::kCodeWindowTitle));
  edit_->setReadOnly(true);
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit_->setUndoRedoEnabled(false);
  edit_->setFont(CodeFont());
  // The highlight must stay visible while an editor in another window has the focus.
  QPalette palette = edit_->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  edit_->setPalette(palette);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(7, 7, 7, 7);
  layout->addWidget(edit_);

  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CEdidCodeDlg::Initialise() {
  shownExtensions_ = CurrentExtensions();
  edit_->setPlainText(ToBoxText(FormatCodeDump(block_.Bytes()) + FormatExtensionCodes(shownExtensions_)));
  FitBoxToText();
  PlaceBesideOwner();
}

void CEdidCodeDlg::FitBoxToText() {
  // The base block alone: exactly the 16 rows of 38 characters, so that nothing ever scrolls.
  // Extension blocks below it scroll into view, with a scroll bar beside the rows.
  const bool whole = !shownExtensions_.empty();
  edit_->setVerticalScrollBarPolicy(whole ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  const QTextBlock first = edit_->document()->firstBlock();
  const qreal rowHeight = edit_->document()->documentLayout()->blockBoundingRect(first).height();
  const QFontMetricsF metrics(edit_->font());
  const qreal margins = 2 * (edit_->frameWidth() + edit_->document()->documentMargin()) + 2;
  const int scrollBar = whole ? edit_->verticalScrollBar()->sizeHint().width() : 0;
  const int rows = whole ? kWholeVisibleRows : kCodeBlockRows;
  edit_->setFixedSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(QString(kBoxRowLength, QLatin1Char('0'))) + margins)) + scrollBar,
                      static_cast<int>(std::ceil(rows * rowHeight + margins)));
}

const std::vector<EdidBytes>& CEdidCodeDlg::CurrentExtensions() const {
  return extensions_ ? extensions_->blocks : kNoExtensions;
}

void CEdidCodeDlg::FollowExtensions() {
  if (shownExtensions_ == CurrentExtensions() || edit_->document()->isEmpty()) return;
  const bool hadExtensions = !shownExtensions_.empty();
  shownExtensions_ = CurrentExtensions();
  QTextCursor cursor(edit_->document());
  cursor.setPosition(ToBoxPosition(kCodeDumpLength));
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.insertText(ToBoxText(FormatExtensionCodes(shownExtensions_)));
  if (hadExtensions != !shownExtensions_.empty()) FitBoxToText();
  // Other blocks are shown from the top; a selection scrolls on from there.
  edit_->verticalScrollBar()->setValue(0);
}

void CEdidCodeDlg::PlaceBesideOwner() {
  QWidget* owner = parentWidget();
  if (!owner) return;
  adjustSize();
  // move() places the frame's corner: before the window exists Qt asks the window manager to put
  // the frame there (north-west gravity); afterwards it allows for the frame it knows.
  const QRect frame = owner->frameGeometry();
  move(frame.right() - 20 - (frameGeometry().width() - 1), frame.top() + 72);
}

void CEdidCodeDlg::HighlightRange(int first, int last, bool refresh) {
  if (refresh) {
    if (first < kEdidSize) {
      const int baseLast = std::min(last, kEdidSize - 1);
      ReplaceRange(CodeHexPosition(first), CodeCharPosition(baseLast) + 1, FormatCodeRange(block_.Bytes(), first, baseLast));
      block_.UpdateChecksum();
      const uint8_t checksum = block_.GetChecksum();
      const char hex[] = {UpperHexDigit(checksum >> 4), UpperHexDigit(checksum), '\0'};
      ReplaceRange(CodeHexPosition(127), CodeHexPosition(127) + 2, hex);
      ReplaceRange(CodeCharPosition(127), CodeCharPosition(127) + 1, std::string(1, CodeChar(checksum)));
    }
    // Every path that brings other extension blocks, or changes their bytes, ends in a refresh.
    FollowExtensions();
  }
  Select(WholeCodeHexPosition(first), WholeCodeHexPosition(last) + 2);
  if (refresh) emit bytesRefreshed();
}

void CEdidCodeDlg::ClearHighlight() {
  QTextCursor cursor = edit_->textCursor();
  cursor.clearSelection();
  edit_->setTextCursor(cursor);
  edit_->ensureCursorVisible();
}

QString CEdidCodeDlg::Text() const {
  QString text = edit_->toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

int CEdidCodeDlg::SelectionStart() const { return FromBoxPosition(edit_->textCursor().selectionStart()); }

int CEdidCodeDlg::SelectionEnd() const { return FromBoxPosition(edit_->textCursor().selectionEnd()); }

void CEdidCodeDlg::reject() {
  emit closedByUser();
  QDialog::reject();
}

bool CEdidCodeDlg::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  // The window manager frames the window once it is up, which moves the client; from then on the
  // frame's width is known, and the right edge can be put exactly where it belongs, once.
  if (event->type() == QEvent::Move && awaitingFrame_ && frameGeometry() != geometry()) {
    awaitingFrame_ = false;
    PlaceBesideOwner();
  }
  return handled;
}

void CEdidCodeDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Scrolled while the box was not yet laid out, it would start part-way down a whole EDID.
  edit_->verticalScrollBar()->setValue(0);
  ClearHighlight();
}

void CEdidCodeDlg::ReplaceRange(int from, int to, const std::string& text) {
  // Before the window is initialised there is nothing to replace; Initialise renders it all.
  if (edit_->document()->isEmpty()) return;
  QTextCursor cursor(edit_->document());
  cursor.setPosition(ToBoxPosition(from));
  cursor.setPosition(ToBoxPosition(to), QTextCursor::KeepAnchor);
  cursor.insertText(ToBoxText(text));
}

void CEdidCodeDlg::Select(int from, int to) {
  if (edit_->document()->isEmpty()) return;
  QTextCursor cursor = edit_->textCursor();
  // Bytes beyond the blocks held (a finding about a block that is missing) select up to the end.
  const int end = edit_->document()->characterCount() - 1;
  cursor.setPosition(std::min(ToBoxPosition(from), end));
  cursor.setPosition(std::min(ToBoxPosition(to), end), QTextCursor::KeepAnchor);
  edit_->setTextCursor(cursor);
  edit_->ensureCursorVisible();
}

}  // namespace tolvex
