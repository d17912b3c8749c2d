#include "gui/modal_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPushButton>

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
    // Handled outside this timer's slot, so that the boxes the handler's actions open are still
    // answered: a timer does not fire again while its own slot runs.
    if (dialogHandler_ && !handling_) {
      handling_ = true;
      QTimer::singleShot(0, this, [this, dialog = QPointer<QWidget>(modal)] {
        if (dialog && dialog->isVisible()) dialogHandler_(dialog);
        handling_ = false;
      });
    }
    return;
  }
  QPushButton* preset = box->defaultButton();
  seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->informativeText(), box->standardButtons(),
                   preset ? box->standardButton(preset) : QMessageBox::NoButton});
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
