#include "gui/modal_support.h"

#include <QAbstractButton>
#include <QApplication>

namespace tolvex::testing {

ModalAnswerer::ModalAnswerer(std::deque<QMessageBox::StandardButton> answers) : answers_(std::move(answers)) {
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start(5);
}

ModalAnswerer::~ModalAnswerer() { timer_.stop(); }

QStringList ModalAnswerer::Texts() const {
  QStringList texts;
  for (const SeenBox& box : seen_) texts << box.text;
  return texts;
}

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (!box) {
    if (dialogHandler_) dialogHandler_(modal);
    return;
  }
  seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->informativeText()});
  QAbstractButton* button = nullptr;
  if (!answers_.empty()) {
    button = box->button(answers_.front());
    answers_.pop_front();
  }
  if (!button) button = box->button(QMessageBox::Ok);
  if (!button) button = box->button(QMessageBox::Yes);
  if (!button && !box->buttons().isEmpty()) button = box->buttons().first();
  if (button) button->click();
  else box->done(0);
}

}  // namespace tolvex::testing
