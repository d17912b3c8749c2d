// Answers the modal message boxes that the code under test opens, so that no test waits on a box.
// Create one before the action; each box that appears is recorded and answered with the next
// queued button (OK/Yes/first button when the queue is empty).
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace tolvex::testing {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon;
  QString informativeText = {};
  QMessageBox::StandardButtons buttons = {};
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  explicit ModalAnswerer(std::deque<QMessageBox::StandardButton> answers = {});
  ~ModalAnswerer() override;

  const std::vector<SeenBox>& Seen() const { return seen_; }
  // The texts of the boxes seen, for compact comparisons.
  QStringList Texts() const;
  // Dialogs that were not message boxes are handed to this, which must close them.
  void SetDialogHandler(std::function<void(QWidget*)> handler) { dialogHandler_ = std::move(handler); }

 private:
  void Poll();

  std::deque<QMessageBox::StandardButton> answers_;
  std::vector<SeenBox> seen_;
  std::function<void(QWidget*)> dialogHandler_;
  QTimer timer_;
  bool handling_ = false;
};

}  // namespace tolvex::testing
