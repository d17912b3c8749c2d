#include "app/compare_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/app_texts.h"
#include "report/edid_diff.h"

namespace tolvex {

namespace {

QString Latin1(const char* text) { return QString::fromLatin1(text); }

constexpr int kPreferredColumns = 60;

QFont DiffFont() {
  QFont font(Latin1(texts::kCodeFontFamily));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  return font;
}

}  // namespace

CCompareWindow::CCompareWindow(std::function<Current()> current, QWidget* parent)
    : QDockWidget(parent), current_(std::move(current)), text_(new QPlainTextEdit) {
  setObjectName(QStringLiteral("compareWindow"));
  setAllowedAreas(Qt::RightDockWidgetArea | Qt::LeftDockWidgetArea);
  text_->setObjectName(QStringLiteral("compareText"));
  text_->setReadOnly(true);
  text_->setFont(DiffFont());
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  setWidget(text_);
}

int CCompareWindow::PreferredWidth() const {
  return text_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kPreferredColumns + 2 * text_->frameWidth() +
         text_->verticalScrollBar()->sizeHint().width();
}

void CCompareWindow::CompareWith(const QString& otherName, std::vector<uint8_t> edid) {
  otherName_ = otherName;
  other_ = std::move(edid);
  Refresh();
}

void CCompareWindow::DocumentChanged() {
  if (otherName_.isEmpty()) return;
  // A closed window costs an edit nothing; it catches up when it opens.
  if (isHidden()) {
    stale_ = true;
    return;
  }
  Refresh();
}

void CCompareWindow::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  if (stale_) Refresh();
}

void CCompareWindow::Refresh() {
  stale_ = false;
  const Current current = current_();
  setWindowTitle(Latin1(texts::kCompareTitle).arg(current.name, otherName_));
  const QString text = QString::fromStdString(DiffEdids(current.edid, other_).text);
  // Most edits elsewhere leave the differences as they were; the scroll position stays then.
  if (text != text_->toPlainText()) text_->setPlainText(text);
}

}  // namespace tolvex
