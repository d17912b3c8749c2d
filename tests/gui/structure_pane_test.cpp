// The structure panel and the report view on real whole EDIDs, in the whole program: every node
// the tree shows selects exactly its bytes in the code window, by click and by arrow key; the
// tree follows the EDID as it changes; the report view carries the decoded extension sections.
#include <QtTest>

#include <QTreeWidget>

#include <set>

#include "app/edid_code_dlg.h"
#include "app/structure_pane.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "model/decoded_edid.h"
#include "report/code_dump.h"
#include "report/decoded_lines.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// A few kinds of real whole EDID: two blocks and three, CTA-861 with HDR and FreeSync, DisplayID.
std::vector<std::filesystem::path> Samples() {
  const std::set<std::string> names = {"aoc-3402-7e3b79-v14-3b.bin", "boe-092f-e5dd9f-v14-2b.bin",
                                       "acr-06b1-920281-v14-3b.bin"};
  std::vector<std::filesystem::path> chosen;
  const std::vector<std::filesystem::path> all = test::WholeEdidFiles();
  if (!all.empty()) chosen.push_back(all.front());
  for (const std::filesystem::path& path : all) {
    if (names.count(path.filename().string()) > 0) chosen.push_back(path);
  }
  return chosen;
}

QString ViewForm(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

}  // namespace

class StructurePaneTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void everyNodeOfRealWholeEdidsSelectsItsBytes() {
    const std::vector<std::filesystem::path> samples = Samples();
    if (samples.empty()) QSKIP("no real whole EDIDs beside the checkout");
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    CStructurePane& pane = frame.StructurePane();
    QVERIFY(pane.isVisible());
    QTreeWidget* tree = pane.Tree();

    for (const std::filesystem::path& sample : samples) {
      const QString name = QString::fromStdString(sample.filename().string());
      QVERIFY2(frame.OpenDocumentFile(QString::fromStdString(sample.string())), qPrintable(name));
      const EdidExtensions& extensions = program.Doc().Extensions();
      QVERIFY2(extensions.Count() >= 1, qPrintable(name));

      // The tree is the decoded walk of what was opened, and the view carries every decoded section.
      const DecodedEdid decoded = DecodeEdid(frame.Block().Bytes(), extensions.blocks);
      const DecodedTree expected(decoded);
      QVERIFY2(pane.Structure().SameShape(expected), qPrintable(name));
      for (size_t k = 1; k < decoded.blocks.size(); ++k) {
        std::string lines;
        AppendDecodedLines(lines, decoded.blocks[k], DecodeScope::kReportSection, "\r\n");
        QVERIFY2(frame.ViewText().contains(ViewForm(lines)), qPrintable(name));
      }

      // Every row by click, and the next row by Down, each selecting its node's bytes.
      int checked = 0;
      for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* row = *it;
        row->setExpanded(true);
        const DecodedNode& node = pane.Structure().Nodes()[static_cast<size_t>(pane.NodeOf(row))];
        const auto selected = [&] {
          return frame.CodeWindow().SelectionStart() == WholeCodeHexPosition(node.bytes.first) &&
                 frame.CodeWindow().SelectionEnd() == WholeCodeHexPosition(node.bytes.last) + 2;
        };
        frame.CodeWindow().ClearHighlight();
        tree->scrollToItem(row);
        if (checked % 2 == 0) {
          QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(row).center());
        } else {
          QTest::keyClick(tree, Qt::Key_Down);
        }
        QCOMPARE(tree->currentItem(), row);
        QVERIFY2(selected(), qPrintable(name + QLatin1String(": ") + QString::fromStdString(node.path)));
        ++checked;
      }
      QVERIFY2(checked > 50, qPrintable(name));
    }

    // An edit of the base block rewrites the texts in place; the user's row stays chosen.
    QTreeWidgetItem* chosen = tree->currentItem();
    frame.Block().SetWeek(frame.Block().GetWeek() == 7 ? 8 : 7);
    frame.CodeWindow().HighlightRange(16, 16, true);
    QCOMPARE(tree->currentItem(), chosen);
    const int week = pane.Structure().Find("blocks[0].week");
    QVERIFY(week >= 0);
    QCOMPARE(pane.Structure().Nodes()[static_cast<size_t>(week)].value, std::to_string(frame.Block().GetWeek()));
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(StructurePaneTest)
#include "structure_pane_test.moc"
