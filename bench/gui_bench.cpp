// What users feel in the desktop program, timed on real widgets offscreen (not a pass/fail test):
// - from a keystroke in a wizard field to the updated EDID code window and Check pane: the field's
//   handler, the write into the block, the partial re-render, the checksum and the re-check (with
//   the pane's list rebuilt where the keystroke changes a finding, as in the manufacturer field),
//   for the base block alone and with a 4-block EDID loaded, and then with the Structure panel
//   open as well (a keystroke must stay under 2 ms);
// - from a keystroke in a number field of the Structure panel's editor to the updated code window,
//   report view, Check pane and Structure panel, in the whole program with a 4-block EDID: the
//   field's check, the edit of the whole EDID and its undo step (one per entry), the report
//   written again (target: under 2 ms);
// - opening a saved report: reading the file, finding and parsing the dump, the view's text and
//   the code window's full refresh.
#include <cstdio>
#include <string>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <QTemporaryDir>

#include "app/check_pane.h"
#include "app/edid_code_dlg.h"
#include "app/main_frame.h"
#include "app/node_editor.h"
#include "app/structure_pane.h"
#include "app/tolvex_view.h"
#include "app/tolvex_app.h"
#include "bench/bench_edids.h"
#include "model/edid_block.h"
#include "report/edid_report.h"
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

// Opens one report again and again, alternating between two files so that every open changes
// the block.
double MillisecondsPerOpen() {
  QTemporaryDir folder;
  tolvex::EdidBlock first;
  tolvex::EdidBlock second;
  second.SetManufacturerId("BCH");
  second.SetSerialNumber(4242);
  const QString paths[] = {folder.filePath("a.ddc"), folder.filePath("b.ddc")};
  tolvex::EdidBlock* blocks[] = {&first, &second};
  for (int i = 0; i < 2; ++i) {
    QFile file(paths[i]);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::fromStdString(tolvex::FormatEdidReport(*blocks[i])));
  }
  std::string error;
  tolvex::StartOptions options;
  options.splash = false;
  tolvex::CTolvexApp program;
  program.Start(tolvex::MakeSimulatedHardware(options.simulation, error), options);
  program.Frame().show();
  constexpr int kOpens = 200;
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kOpens; ++i) program.Frame().OpenDocumentFile(paths[i % 2]);
  return static_cast<double>(timer.nsecsElapsed()) / 1e6 / kOpens;
}

// The three wizard fields, typed into with `extensions` loaded beside the block, and with the
// Structure panel following the EDID when `structure` is set.
void TimeKeystrokes(const char* setting, const tolvex::EdidBytes& base, const tolvex::EdidExtensions& extensions,
                    bool structure) {
  tolvex::EdidBlock block;
  block.Bytes() = base;
  tolvex::CEdidCodeDlg code(block, extensions, nullptr);
  code.Initialise();
  code.show();
  tolvex::CCheckPane pane(block, extensions, [] { return true; }, nullptr);
  pane.show();
  QObject::connect(&code, &tolvex::CEdidCodeDlg::bytesRefreshed, &pane, &tolvex::CCheckPane::BlockChanged);
  std::unique_ptr<tolvex::CStructurePane> tree;
  if (structure) {
    tree = std::make_unique<tolvex::CStructurePane>(block, extensions, nullptr);
    tree->show();
    QObject::connect(&code, &tolvex::CEdidCodeDlg::bytesRefreshed, tree.get(), &tolvex::CStructurePane::EdidChanged);
  }
  tolvex::CEdidWizard wizard(block, code, nullptr);
  wizard.show();
  wizard.activateWindow();
  if (!QTest::qWaitForWindowActive(&wizard)) std::fprintf(stderr, "the wizard did not become active\n");

  std::printf("%s:\n", setting);
  auto* product = wizard.findChild<QLineEdit*>(QStringLiteral("productCodeEdit"));
  std::printf("  step 1, product code:  %.1f us per keystroke\n", MicrosecondsPerKeystroke(product, '1'));
  auto* manufacturer = wizard.findChild<QLineEdit*>(QStringLiteral("manufacturerEdit"));
  std::printf("  step 1, manufacturer:  %.1f us per keystroke (each one changes a finding)\n",
              MicrosecondsPerKeystroke(manufacturer, 'A'));
  wizard.next();
  auto* width = wizard.findChild<QLineEdit*>(QStringLiteral("widthEdit"));
  // Typing after the number the field holds, and back: both within range.
  width->end(false);
  std::printf("  step 2, image width:   %.1f us per keystroke\n", MicrosecondsPerKeystroke(width, '5'));
}

// The whole program with a 4-block EDID opened, typing into the week field of the Structure
// panel's form (each keystroke a valid week: "2" and "22" in turn).
void TimeEditorKeystrokes() {
  QTemporaryDir folder;
  const QString path = folder.filePath("four.bin");
  const std::vector<uint8_t> four = tolvex::bench::FourBlockEdid();
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(reinterpret_cast<const char*>(four.data()), static_cast<qint64>(four.size()));
  file.close();
  std::string error;
  tolvex::StartOptions options;
  options.splash = false;
  tolvex::CTolvexApp program;
  program.Start(tolvex::MakeSimulatedHardware(options.simulation, error), options);
  tolvex::CMainFrame& frame = program.Frame();
  frame.show();
  frame.OpenDocumentFile(path);
  tolvex::CStructurePane& pane = frame.StructurePane();
  const int week = pane.Structure().Find("blocks[0].week");
  for (QTreeWidgetItemIterator it(pane.Tree()); *it; ++it) {
    if (pane.NodeOf(*it) == week) pane.Tree()->setCurrentItem(*it);
  }
  if (!frame.IsCodeWindowShown()) frame.OnEdidCode();
  frame.activateWindow();
  if (!QTest::qWaitForWindowActive(&frame)) std::fprintf(stderr, "the frame did not become active\n");
  auto* field = pane.findChild<QLineEdit*>(QStringLiteral("blocks[0].week"));
  if (!field) {
    std::fprintf(stderr, "no week field in the Structure panel's form\n");
    return;
  }
  std::printf("the Structure panel's editor, a 4-block EDID (%zu bytes, report %lld lines):\n", four.size(),
              static_cast<long long>(frame.View().document()->blockCount()));
  std::printf("  week field:            %.1f us per keystroke\n", MicrosecondsPerKeystroke(field, '2'));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // "gui_bench editor" times the Structure panel's editor alone (for a profiler).
  if (argc > 1 && std::string(argv[1]) == "editor") {
    TimeEditorKeystrokes();
    return 0;
  }
  const tolvex::EdidBlock fresh;
  TimeKeystrokes("the base block alone", fresh.Bytes(), {}, false);
  const tolvex::WholeEdid four = tolvex::SplitWholeEdid(tolvex::bench::FourBlockEdid());
  TimeKeystrokes("a 4-block EDID", four.base, four.extensions, false);
  TimeKeystrokes("a 4-block EDID, the Structure panel open", four.base, four.extensions, true);
  TimeEditorKeystrokes();
  std::printf("opening a saved report: %.2f ms per open\n", MillisecondsPerOpen());
  return 0;
}
