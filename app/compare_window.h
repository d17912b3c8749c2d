// The "Compare with..." window: beside the report, what tolvex-cli diff prints for the document's
// whole EDID and another file's, read-only in the code font. The other file is read once; the
// document's side follows every change while the window is open, and catches up when it opens.
#pragma once

#include <QDockWidget>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QPlainTextEdit;

namespace tolvex {

class CCompareWindow : public QDockWidget {
  Q_OBJECT

 public:
  // `current` gives the document's name and whole EDID whenever the window needs them.
  struct Current {
    QString name;
    std::vector<uint8_t> edid;
  };
  CCompareWindow(std::function<Current()> current, QWidget* parent);

  // Compares with `edid`, which came from the file `otherName`.
  void CompareWith(const QString& otherName, std::vector<uint8_t> edid);
  // The document changed: shows the differences again if the window is open, else when it opens.
  void DocumentChanged();

  QPlainTextEdit* Text() const { return text_; }
  // Room for a field's path and both its values on most lines.
  int PreferredWidth() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Refresh();

  std::function<Current()> current_;
  QPlainTextEdit* text_;
  QString otherName_;
  std::vector<uint8_t> other_;
  bool stale_ = false;
};

}  // namespace tolvex
