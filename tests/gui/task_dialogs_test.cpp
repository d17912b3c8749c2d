// The Tasks menu on a real HDMI EDID, in the whole program: each dialog filled and confirmed
// does its edit (read back by decoding the frame's bytes again) as one step that undo takes back
// byte for byte; a refused or invalid entry keeps the dialog open with the reason and changes
// nothing; Cancel keeps no step. The block commands move, remove and add data blocks and
// extension blocks, the Structure panel's selection following them and its gauges showing the
// bytes each block uses.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>

#include <algorithm>

#include "app/edid_history.h"
#include "app/structure_pane.h"
#include "app/task_dialogs.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "model/decoded_edid.h"
#include "report/edid_report.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// HDMI with an HDMI Forum block and HDR static metadata, EDID 1.3 with one CTA-861 block; and a
// 1.4 one with a CTA-861 and a DisplayID block.
const char kHdmiSample[] = "gsm-7714-6b267f-v13-2b.bin";
const char kThreeBlockSample[] = "gbt-270d-3162da-v14-3b.bin";

QString SamplePath(const char* name) { return QStringLiteral(TOLVEX_WHOLE_DIR "/") + QString::fromLatin1(name); }

const CtaBlock& Cta(const DecodedEdid& decoded) { return *decoded.blocks.at(1).As<CtaBlock>(); }

bool HasVic(const DecodedEdid& decoded, int vic) {
  const std::vector<ShortVideo> svds = Cta(decoded).Svds();
  return std::any_of(svds.begin(), svds.end(), [vic](const ShortVideo& svd) { return svd.vic == vic; });
}

int TimingsOf(const DecodedEdid& decoded, int width, int height) {
  int count = 0;
  for (const DetailedTiming& dtd : Cta(decoded).dtds) count += dtd.hActive == width && dtd.vActive == height;
  for (const BaseDescriptor& descriptor : decoded.Base().descriptors) {
    const auto* dtd = std::get_if<DetailedTiming>(&descriptor.content);
    count += dtd && dtd->hActive == width && dtd->vActive == height;
  }
  return count;
}

void Fill(QWidget* dialog, const char* field, const QString& text) {
  auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
  QVERIFY2(edit, field);
  edit->setText(text);
}

void Choose(QWidget* dialog, const char* list, const QString& first) {
  auto* tree = dialog->findChild<QTreeWidget*>(QString::fromLatin1(list));
  QVERIFY2(tree, list);
  const QList<QTreeWidgetItem*> rows = tree->findItems(first, Qt::MatchExactly, 0);
  QVERIFY2(!rows.isEmpty(), qPrintable(first));
  tree->setCurrentItem(rows.front());
}

void Press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

struct TaskCase {
  const char* name;
  CommandId command;
  std::function<void(QWidget*)> fill;
  // Done: the fact the edit was for, in the EDID before and after. Refused: words of the reason.
  std::function<bool(const DecodedEdid& before, const DecodedEdid& after)> done;
  const char* refusal = nullptr;
  bool cancel = false;
};

}  // namespace

class TaskDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void everyTaskDialogEditsOrRefusesAsOneStep() {
    if (!QFileInfo::exists(SamplePath(kHdmiSample))) QSKIP("no real whole EDIDs beside the checkout");
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QVERIFY(frame.OpenDocumentFile(SamplePath(kHdmiSample)));
    QUndoStack& stack = frame.EdidHistory().Stack();

    const TaskCase cases[] = {
        {"VRR range with a new AMD block", kCmdTaskVrr,
         [](QWidget* d) {
           Fill(d, "vrrMin", "40");
           Fill(d, "vrrMax", "120");
           d->findChild<QCheckBox*>("vrrAddAmd")->setChecked(true);
         },
         [](const DecodedEdid& before, const DecodedEdid& after) {
           const CtaAmd* amd = Cta(after).First<CtaAmd>();
           return !Cta(before).First<CtaAmd>() && amd && amd->minHz == 40 && amd->MaxRefreshHz() == 120 &&
                  Cta(after).First<CtaHdmiForum>()->vrrMinHz == 40;
         }},
        {"RGB only", kCmdTaskRgbOnly, [](QWidget* d) { QVERIFY(d->findChild<QLabel*>("rgbOnlyChanges")); },
         [](const DecodedEdid& before, const DecodedEdid& after) {
           return Cta(before).ycbcr444 == 1 && Cta(after).ycbcr444 == 0 && Cta(after).ycbcr422 == 0;
         }},
        {"TMDS 600 MHz and FRL 24 Gbit/s", kCmdTaskMaxTmds,
         [&frame](QWidget* d) {
           // It starts from the clock the EDID states, the HDMI Forum block's where it is higher.
           const DecodedEdid now = DecodeEdid(frame.CurrentEdid());
           const int held = std::max(Cta(now).First<CtaHdmi>()->maxTmdsMhz, Cta(now).First<CtaHdmiForum>()->maxTmdsMhz);
           QCOMPARE(d->findChild<QLineEdit*>("tmdsMhz")->text(), QString::number(held));
           Fill(d, "tmdsMhz", "600");
           auto* frl = d->findChild<QComboBox*>("frlRate");
           frl->setCurrentIndex(frl->findData(24));
         },
         [](const DecodedEdid&, const DecodedEdid& after) {
           return Cta(after).First<CtaHdmiForum>()->maxTmdsMhz == 600 && Cta(after).First<CtaHdmi>()->maxTmdsMhz == 340;
         }},
        {"TMDS beyond what HDMI states", kCmdTaskMaxTmds, [](QWidget* d) { Fill(d, "tmdsMhz", "700"); }, nullptr,
         "25 to 600 MHz"},
        {"add VIC 97", kCmdTaskAddVic, [](QWidget* d) { Choose(d, "vicList", "97"); },
         [](const DecodedEdid& before, const DecodedEdid& after) { return !HasVic(before, 97) && HasVic(after, 97); }},
        {"remove VIC 16", kCmdTaskRemoveVic, [](QWidget* d) { Choose(d, "vicList", "16"); },
         [](const DecodedEdid& before, const DecodedEdid& after) { return HasVic(before, 16) && !HasVic(after, 16); }},
        {"HDR luminance", kCmdTaskHdrLuminance,
         [](QWidget* d) {
           Fill(d, "hdrMax", "1000");
           Fill(d, "hdrAvg", "400");
           Fill(d, "hdrMin", "0.05");
         },
         [](const DecodedEdid&, const DecodedEdid& after) {
           const CtaHdrStatic* hdr = Cta(after).First<CtaHdrStatic>();
           return hdr->maxLuminanceCode == 138 && hdr->maxFallCode == 96 && hdr->minLuminanceCode == 18;
         }},
        {"add a CVT timing", kCmdTaskAddTiming,
         [](QWidget* d) {
           Fill(d, "timingWidth", "3440");
           Fill(d, "timingHeight", "1440");
           Fill(d, "timingHz", "100");
         },
         [](const DecodedEdid& before, const DecodedEdid& after) {
           return TimingsOf(after, 3440, 1440) == TimingsOf(before, 3440, 1440) + 1;
         }},
        {"a timing that fits nowhere", kCmdTaskAddTiming,
         [](QWidget* d) {
           Fill(d, "timingWidth", "16000");
           Fill(d, "timingHeight", "9000");
           Fill(d, "timingHz", "240");
         },
         nullptr, "fits neither"},
        {"not a number", kCmdTaskVrr, [](QWidget* d) { Fill(d, "vrrMin", "4O"); }, nullptr,
         "Please enter an integer."},
        {"HDR cancelled", kCmdTaskHdrLuminance, [](QWidget* d) { Fill(d, "hdrMax", "500"); }, nullptr, nullptr, true},
        {"remove the CTA-861 block", kCmdRemoveExtensionBlock, [](QWidget* d) {
           auto* list = d->findChild<QTreeWidget*>("blockList");
           list->setCurrentItem(list->topLevelItem(0));
         },
         [](const DecodedEdid& before, const DecodedEdid& after) {
           return before.blocks.size() == 2 && after.blocks.size() == 1 && after.blocks[0].stored[126] == 0;
         }},
    };

    for (const TaskCase& c : cases) {
      const EdidData before = frame.CurrentEdid();
      const int steps = stack.count(), at = stack.index();
      QString refusal;
      EditResult result;
      bool seen = false;
      ModalAnswerer answers;
      answers.SetDialogHandler([&](QWidget* widget) {
        auto* dialog = qobject_cast<CTaskDialog*>(widget);
        QVERIFY2(dialog, c.name);
        seen = true;
        c.fill(dialog);
        if (c.cancel) return Press(dialog, QDialogButtonBox::Cancel);
        Press(dialog, QDialogButtonBox::Ok);
        if (!dialog->isVisible()) {
          result = dialog->Result();
          return;
        }
        // Still open: the reason is in the dialog (or in the field's message box).
        refusal = dialog->Refusal()->isVisible() ? dialog->Refusal()->text() : answers.Texts().join(QLatin1Char('|'));
        Press(dialog, QDialogButtonBox::Cancel);
      });
      frame.Action(c.command)->trigger();
      QVERIFY2(seen, c.name);

      if (!c.done) {
        QVERIFY2(c.cancel ? refusal.isEmpty() : refusal.contains(QLatin1String(c.refusal)),
                 qPrintable(QLatin1String(c.name) + QLatin1String(": ") + refusal));
        QVERIFY2(frame.CurrentEdid() == before, c.name);
        QCOMPARE(stack.count(), steps);
        QCOMPARE(stack.index(), at);
        continue;
      }
      QVERIFY2(refusal.isEmpty(), qPrintable(QLatin1String(c.name) + QLatin1String(": ") + refusal));
      const EdidData after = frame.CurrentEdid();
      // The report view, which is what File Save writes, is the report of the edited EDID.
      QCOMPARE(frame.ViewText(),
               QString::fromStdString(FormatEdidReport(frame.Block(), program.Doc().Extensions().blocks))
                   .replace(QLatin1String("\r\n"), QLatin1String("\n")));
      QVERIFY2(c.done(DecodeEdid(before), DecodeEdid(after)), c.name);
      QCOMPARE(stack.index(), at + 1);
      QCOMPARE(stack.count(), at + 1);
      QVERIFY2(!result.notes.empty(), c.name);
      QCOMPARE(frame.MessagePane()->text(), QString::fromStdString(JoinNotes(result)));
      // Undone, every byte is back; redone, the edit again; then on to the next from the original.
      stack.undo();
      QVERIFY2(frame.CurrentEdid() == before, c.name);
      stack.redo();
      QVERIFY2(frame.CurrentEdid() == after, c.name);
      stack.undo();
    }
  }

  void blockCommandsFollowTheSelectionAndTheGaugesTheBytes() {
    if (!QFileInfo::exists(SamplePath(kThreeBlockSample))) QSKIP("no real whole EDIDs beside the checkout");
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QVERIFY(frame.OpenDocumentFile(SamplePath(kThreeBlockSample)));
    const EdidData original = frame.CurrentEdid();
    CStructurePane& pane = frame.StructurePane();
    QTreeWidget* tree = pane.Tree();

    std::string error;
    const auto layout = [&] { return *ReadCtaLayout(frame.CurrentEdid(), 1, error); };
    const auto currentPath = [&] { return pane.Structure().Nodes()[static_cast<size_t>(pane.CurrentNode())].path; };
    // Every gauge shows what the block holds: a CTA-861 block its data blocks and DTDs of 123
    // bytes, a DisplayID block its section bytes of 121.
    const auto gaugesRight = [&] {
      const EdidData edid = frame.CurrentEdid();
      for (int block = 1; block < BlockCount(edid); ++block) {
        QProgressBar* gauge = pane.Gauge(block);
        const uint8_t tag = BlockBytes(edid, block)[0];
        if (!gauge) return false;
        const int used = tag == kTagCta861 ? ReadCtaLayout(edid, block, error)->UsedBytes() : BlockBytes(edid, block)[2];
        if (gauge->value() != used || gauge->maximum() != (tag == kTagCta861 ? kCtaRoom : 121)) return false;
        if (gauge->text() != QStringLiteral("%1/%2 bytes").arg(used).arg(gauge->maximum())) return false;
      }
      return true;
    };
    QVERIFY(gaugesRight());

    // Nothing chosen: the data block commands are greyed and say why.
    tree->setCurrentItem(nullptr);
    frame.UpdateCommandUi();
    QVERIFY(!frame.Action(kCmdRemoveDataBlock)->isEnabled());
    QVERIFY(frame.Action(kCmdRemoveDataBlock)->statusTip().contains(QLatin1String("select a data block")));

    const CtaLayout start = layout();
    QVERIFY(start.dataBlocks.size() >= 3);
    pane.SelectPath("blocks[1].data_blocks[0].kind");
    pane.SelectPath("blocks[1].data_blocks[0]");
    QVERIFY(!frame.Action(kCmdMoveDataBlockUp)->isEnabled());
    QVERIFY(frame.Action(kCmdMoveDataBlockUp)->statusTip().contains(QLatin1String("first of its block")));

    // Down: the block and the selection go one place on, the bytes used stay.
    frame.Action(kCmdMoveDataBlockDown)->trigger();
    QCOMPARE(layout().dataBlocks[1].bytes, start.dataBlocks[0].bytes);
    QCOMPARE(layout().dataBlocks[0].bytes, start.dataBlocks[1].bytes);
    QCOMPARE(currentPath(), std::string("blocks[1].data_blocks[1]"));
    QVERIFY(frame.Action(kCmdMoveDataBlockUp)->isEnabled());
    frame.Action(kCmdMoveDataBlockUp)->trigger();
    QVERIFY(layout().dataBlocks[0].bytes == start.dataBlocks[0].bytes);
    QCOMPARE(currentPath(), std::string("blocks[1].data_blocks[0]"));

    // Removed: its bytes are free; the next one is chosen.
    frame.Action(kCmdRemoveDataBlock)->trigger();
    QCOMPARE(layout().dataBlocks.size(), start.dataBlocks.size() - 1);
    QCOMPARE(layout().UsedBytes(), start.UsedBytes() - static_cast<int>(start.dataBlocks[0].bytes.size()));
    QVERIFY(layout().dataBlocks[0].bytes == start.dataBlocks[1].bytes);
    QCOMPARE(currentPath(), std::string("blocks[1].data_blocks[0]"));
    QVERIFY(gaugesRight());

    // Added after the chosen one, of the kind picked.
    {
      ModalAnswerer answers;
      answers.SetDialogHandler([&](QWidget* dialog) {
        auto* kind = dialog->findChild<QComboBox*>("dataBlockKind");
        kind->setCurrentIndex(kind->findText(QStringLiteral("Speaker Allocation Data Block")));
        Press(dialog, QDialogButtonBox::Ok);
      });
      frame.Action(kCmdAddDataBlock)->trigger();
    }
    QCOMPARE(layout().dataBlocks.size(), start.dataBlocks.size());
    QCOMPARE(CtaLayout::KindOf(layout().dataBlocks[1]), CtaKind::kSpeakers);
    QCOMPARE(currentPath(), std::string("blocks[1].data_blocks[1]"));
    QVERIFY(gaugesRight());

    // An empty CTA-861 block at the end, and its gauge at nothing used.
    {
      ModalAnswerer answers;
      answers.SetDialogHandler([&](QWidget* dialog) { Press(dialog, QDialogButtonBox::Ok); });
      frame.Action(kCmdAddExtensionBlock)->trigger();
    }
    QCOMPARE(BlockCount(frame.CurrentEdid()), 4);
    QCOMPARE(currentPath(), std::string("blocks[3]"));
    QVERIFY(pane.Gauge(3) && pane.Gauge(3)->value() == 0);
    QVERIFY(gaugesRight());

    // Every step undone, the file's bytes are back.
    QUndoStack& stack = frame.EdidHistory().Stack();
    QCOMPARE(stack.count(), 5);
    while (stack.canUndo()) stack.undo();
    QVERIFY(frame.CurrentEdid() == original);
    QVERIFY(gaugesRight());
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(TaskDialogsTest)
#include "task_dialogs_test.moc"
