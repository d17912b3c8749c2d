#include "app/tolvex_view.h"

#include <QDate>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include "app/app_texts.h"
#include "app/report_printer.h"

namespace tolvex {

namespace {

// "Courier New", 13 pixels without internal leading, or the closest fixed-pitch face present.
QFont ReportFont() {
  QFont font(QString::fromLatin1(texts::kCodeFontFamily));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(13);
  return font;
}

// The editing keys of the report view and the action each stands for.
struct EditKey {
  Qt::KeyboardModifiers modifiers;
  int key;
  void (QPlainTextEdit::*action)();
};

const EditKey kEditKeys[] = {
    {Qt::ControlModifier, Qt::Key_Z, &QPlainTextEdit::undo},
    {Qt::AltModifier, Qt::Key_Backspace, &QPlainTextEdit::undo},
    {Qt::ControlModifier, Qt::Key_X, &QPlainTextEdit::cut},
    {Qt::ShiftModifier, Qt::Key_Delete, &QPlainTextEdit::cut},
    {Qt::ControlModifier, Qt::Key_C, &QPlainTextEdit::copy},
    {Qt::ControlModifier, Qt::Key_Insert, &QPlainTextEdit::copy},
    {Qt::ControlModifier, Qt::Key_V, &QPlainTextEdit::paste},
    {Qt::ShiftModifier, Qt::Key_Insert, &QPlainTextEdit::paste},
};

}  // namespace

CTolvexView::CTolvexView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("reportView"));
  setFont(ReportFont());
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CTolvexView::Print(QPrinter& printer, const QString& documentName) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  // The view's font and tab stops, measured at the printer's resolution.
  const qreal toPrinter = printer.resolution() / static_cast<qreal>(logicalDpiX());
  QFont font(this->font(), &printer);
  font.setPointSizeF(QFontInfo(this->font()).pixelSize() * 72.0 / logicalDpiY());
  const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
  const PageMarks marks{documentName, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)};
  const ReportPrintLayout layout(toPlainText(), font, tabStopDistance() * toPrinter, page, &printer, marks);
  layout.Paint(painter, printer);
}

void CTolvexView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers =
      event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  for (const EditKey& key : kEditKeys) {
    if (event->key() == key.key && modifiers == key.modifiers) {
      (this->*key.action)();
      event->accept();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace tolvex
