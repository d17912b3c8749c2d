// Runs a function whenever a field gets the keyboard focus: the editors select the bytes of the
// field's group in the EDID code window then.
#pragma once

#include <QObject>

#include <functional>

namespace tolvex {

class FocusWatch : public QObject {
 public:
  // The watch is a child of `field` and lives as long as it.
  static void Install(QWidget* field, std::function<void()> onFocus);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FocusWatch(QWidget* field, std::function<void()> onFocus);
  std::function<void()> onFocus_;
};

}  // namespace tolvex
