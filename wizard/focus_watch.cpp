#include "wizard/focus_watch.h"

#include <QEvent>
#include <QWidget>

namespace tolvex {

FocusWatch::FocusWatch(QWidget* field, std::function<void()> onFocus) : QObject(field), onFocus_(std::move(onFocus)) {
  field->installEventFilter(this);
}

void FocusWatch::Install(QWidget* field, std::function<void()> onFocus) { new FocusWatch(field, std::move(onFocus)); }

bool FocusWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) onFocus_();
  return QObject::eventFilter(watched, event);
}

}  // namespace tolvex
