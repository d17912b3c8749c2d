// Time from a keystroke in a wizard field to the updated EDID code window: the field's handler,
// the write into the block, the partial re-render and the checksum. Runs offscreen and prints
// microseconds per keystroke; not a pass/fail test.
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include "app/edid_code_dlg.h"
#include "model/edid_block.h"
#include "wizard/edid_wizard.h"

namespace {

constexpr int kRounds = 2000;

// Each round types one character and deletes it again: two keystrokes, two writes.
double MicrosecondsPerKeystroke(QLineEdit* field, char key) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, key);
  QElapsedTimer timer;
  timer.start();
  for (int round = 0; round < kRounds; ++round) {
    QTest::keyClick(field, key);
    QTest::keyClick(field, Qt::Key_Backspace);
  }
  return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / (2.0 * kRounds);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  tolvex::EdidBlock block;
  tolvex::CEdidCodeDlg code(block, nullptr);
  code.Initialise();
  code.show();
  tolvex::CEdidWizard wizard(block, code, nullptr);
  wizard.show();
  wizard.activateWindow();
  if (!QTest::qWaitForWindowActive(&wizard)) std::fprintf(stderr, "the wizard did not become active\n");

  auto* product = wizard.findChild<QLineEdit*>(QStringLiteral("productCodeEdit"));
  std::printf("step 1, product code:  %.1f us per keystroke\n", MicrosecondsPerKeystroke(product, '1'));
  wizard.next();
  auto* width = wizard.findChild<QLineEdit*>(QStringLiteral("widthEdit"));
  // Typing after the "0" the field holds: "05" and back to "0", both within range.
  width->end(false);
  std::printf("step 2, image width:   %.1f us per keystroke\n", MicrosecondsPerKeystroke(width, '5'));
  return 0;
}
