// The report view: the document's text in an editable plain-text box with a fixed-pitch font,
// wrapped at the window's width. Edits change the text only, never the EDID block.
#pragma once

#include <QPlainTextEdit>

class QPrinter;

namespace tolvex {

class CTolvexView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CTolvexView(QWidget* parent = nullptr);

  // Prints the text unchanged, in the view's font and with its tab stops; a line wider than the
  // paper continues under its first word. Each page names `documentName` above the text, and the
  // date and its number below it.
  void Print(QPrinter& printer, const QString& documentName);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tolvex
