// The Structure panel's editor on a real CTA-861 + DisplayID EDID, in the whole program: for
// items of many kinds, a change in the form shows in the EDID decoded again, is one undo step,
// and its undo restores every byte; a refused entry changes neither the bytes nor the history;
// Ctrl+Z undoes the EDID from the tree and the form, and the text in the report view.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

#include "app/edid_code_dlg.h"
#include "app/edid_history.h"
#include "app/node_editor.h"
#include "app/structure_pane.h"
#include "app/tolvex_view.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/decoded_tree.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

constexpr char kSample[] = "aoc-3402-7e3b79-v14-3b.bin";  // CTA-861 with HDR, DisplayID Type I timings

EdidData Bytes(CMainFrame& frame, CTolvexDoc& doc) { return JoinWholeEdid(frame.Block().Bytes(), doc.Extensions()); }

std::string ValueAt(const EdidData& bytes, const std::string& path) {
  const WholeEdid whole = SplitWholeEdid(bytes);
  const DecodedTree tree(DecodeEdid(whole.base, whole.extensions.blocks));
  const int node = tree.Find(path);
  return node < 0 ? std::string("(none)") : tree.Nodes()[static_cast<size_t>(node)].value;
}

int Entries(const EdidData& bytes, const std::string& prefix) {
  const WholeEdid whole = SplitWholeEdid(bytes);
  const DecodedTree tree(DecodeEdid(whole.base, whole.extensions.blocks));
  int count = 0;
  for (const DecodedNode& node : tree.Nodes()) count += !node.IsField() && node.path.rfind(prefix, 0) == 0;
  return count;
}

void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// One change through the form: `node` is chosen in the tree, `change` acts on the editor, and
// `changed` tells from the bytes decoded again whether it took.
struct Case {
  const char* name;
  std::string node;
  std::function<void(CNodeEditor&)> change;
  std::function<bool(const EdidData& before, const EdidData& after)> changed;
};

template <typename W>
W* Widget(CNodeEditor& editor, const std::string& name) {
  return editor.findChild<W*>(QString::fromStdString(name));
}

Case Typed(const char* name, const std::string& field, const char* text) {
  return {name, field,
          [field, text](CNodeEditor& e) { TypeInto(Widget<QLineEdit>(e, field), QString::fromLatin1(text)); },
          [field, text](const EdidData&, const EdidData& after) { return ValueAt(after, field) == text; }};
}

Case Toggled(const char* name, const std::string& field) {
  return {name, field, [field](CNodeEditor& e) { Widget<QCheckBox>(e, field)->click(); },
          [field](const EdidData& before, const EdidData& after) {
            return ValueAt(after, field) == (ValueAt(before, field) == "yes" ? "no" : "yes");
          }};
}

Case Chosen(const char* name, const std::string& field, int index) {
  return {name, field,
          [field, index](CNodeEditor& e) {
            auto* list = Widget<QComboBox>(e, field);
            list->setCurrentIndex(index);
            emit list->activated(index);
          },
          [field](const EdidData& before, const EdidData& after) {
            return ValueAt(after, field) != ValueAt(before, field) && ValueAt(after, field) != "(none)";
          }};
}

}  // namespace

class NodeEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void editsOfManyKindsAreOneStepEachAndUndoRestoresEveryByte() {
    const std::filesystem::path sample = FindSample();
    if (sample.empty()) QSKIP("no real whole EDIDs beside the checkout");
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QVERIFY(frame.OpenDocumentFile(QString::fromStdString(sample.string())));
    CStructurePane& pane = frame.StructurePane();
    auto* editor = pane.findChild<CNodeEditor*>();
    QVERIFY(editor);
    QUndoStack& stack = frame.EdidHistory().Stack();

    const std::string cta = "blocks[1].";
    const std::string video = cta + "data_blocks[0]";
    const std::vector<Case> cases = {
        Typed("base week, two keystrokes", "blocks[0].week", "12"),
        Chosen("1.4 bit depth", "blocks[0].bit_depth", 2),
        Chosen("1.4 interface", "blocks[0].interface", 1),
        Typed("range limits", "blocks[0].descriptors[3].min_v_hz", "40"),
        Toggled("CTA header flag", cta + "ycbcr422"),
        Typed("DTD clock in 10 kHz steps", cta + "dtds[0].pixel_clock_khz", "148510"),
        Toggled("SAD rate", cta + "data_blocks[1].sads[0].rate_96"),
        Typed("SAD channels", cta + "data_blocks[1].sads[0].max_channels", "8"),
        Typed("SAD format, other fields after it", cta + "data_blocks[1].sads[0].format", "2"),
        Toggled("speaker", cta + "data_blocks[2].lfe1"),
        Typed("HDMI physical address", cta + "data_blocks[3].physical_b", "2"),
        Toggled("colorimetry", cta + "data_blocks[4].sycc601"),
        Typed("HDR code", cta + "data_blocks[5].max_luminance_code", "90"),
        Typed("DisplayID Type I", "blocks[2].data_blocks[0].timings[0].h_active", "3441"),
        {"VIC added from the table", video,
         [](CNodeEditor& e) {
           Widget<QLineEdit>(e, "vicFilter")->setText(QStringLiteral("3840x2160 60.000"));
           auto* picker = Widget<QListWidget>(e, "vicPicker");
           for (int i = 0; i < picker->count(); ++i) {
             if (!picker->item(i)->isHidden()) {
               picker->setCurrentRow(i);
               break;
             }
           }
           Widget<QPushButton>(e, "vicAdd")->click();
         },
         [video](const EdidData& before, const EdidData& after) {
           return Entries(after, video + ".svds[") == Entries(before, video + ".svds[") + 1 &&
                  ValueAt(after, video + ".svds[14].vic") == "97";
         }},
        {"VIC removed", video,
         [](CNodeEditor& e) {
           Widget<QListWidget>(e, "vicList")->setCurrentRow(0);
           Widget<QPushButton>(e, "vicRemove")->click();
         },
         [video](const EdidData& before, const EdidData& after) {
           return Entries(after, video + ".svds[") == Entries(before, video + ".svds[") - 1 &&
                  ValueAt(after, video + ".svds[0].vic") == ValueAt(before, video + ".svds[1].vic");
         }},
        {"audio descriptor added", cta + "data_blocks[1]",
         [](CNodeEditor& e) { Widget<QPushButton>(e, "sadAdd")->click(); },
         [cta](const EdidData& before, const EdidData& after) {
           return Entries(after, cta + "data_blocks[1].sads[") == Entries(before, cta + "data_blocks[1].sads[") + 1;
         }},
        {"HDR luminance in cd/m2", cta + "data_blocks[5]",
         [](CNodeEditor& e) {
           Widget<QLineEdit>(e, "hdrMax")->setText(QStringLiteral("400"));
           Widget<QPushButton>(e, "hdrApply")->click();
         },
         [cta](const EdidData&, const EdidData& after) {
           return std::abs(std::stod(ValueAt(after, cta + "data_blocks[5].max_luminance")) - 400) < 10;
         }},
        {"DTD by the timing editor", "blocks[0].descriptors[0]",
         [](CNodeEditor& e) {
           ModalAnswerer answerer;
           answerer.SetDialogHandler([](QWidget* modal) {
             auto* dialog = qobject_cast<QDialog*>(modal);
             if (!dialog) return;
             TypeInto(dialog->findChild<QLineEdit*>(QStringLiteral("hActive")), QStringLiteral("3400"));
             dialog->accept();
           });
           Widget<QPushButton>(e, "editTiming")->click();
         },
         [](const EdidData&, const EdidData& after) {
           return ValueAt(after, "blocks[0].descriptors[0].h_active") == "3400";
         }},
    };

    for (const Case& c : cases) {
      Choose(pane, c.node);
      const EdidData before = Bytes(frame, program.Doc());
      const int steps = stack.index();
      c.change(*editor);
      const EdidData after = Bytes(frame, program.Doc());
      QVERIFY2(c.changed(before, after), c.name);
      QVERIFY2(editor->Message()->isHidden(), qPrintable(editor->Message()->text()));
      QCOMPARE(stack.index(), steps + 1);  // every keystroke of one entry in one step
      stack.undo();
      QVERIFY2(Bytes(frame, program.Doc()) == before, c.name);
    }

    // A cancelled timing editor changes nothing.
    Choose(pane, "blocks[1].dtds[1]");
    const EdidData kept = Bytes(frame, program.Doc());
    const int steps = stack.index();
    {
      ModalAnswerer answerer;
      answerer.SetDialogHandler([](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
          TypeInto(dialog->findChild<QLineEdit*>(QStringLiteral("hActive")), QStringLiteral("100"));
          dialog->reject();
        }
      });
      Widget<QPushButton>(*editor, "editTiming")->click();
    }
    QVERIFY(Bytes(frame, program.Doc()) == kept);

    // Refused entries: out of range (one more digit), not a number, a step the bits cannot hold.
    // (A closed dialog leaves no window active on this platform; focus events need one.)
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    const std::string clock = "blocks[1].dtds[1].pixel_clock_khz";
    Choose(pane, clock);
    auto* field = Widget<QLineEdit>(*editor, clock);
    for (const auto& [text, message] : {std::pair{"4530000", "between 0 and 655350 in steps of 10"},
                                        std::pair{"45x", "Please enter an integer."},
                                        std::pair{"453005", "in steps of 10"}}) {
      field->setFocus();
      field->setText(QString::fromLatin1(text).chopped(1));  // no keystroke: nothing applied
      QTest::keyClick(field, text[std::strlen(text) - 1]);
      QVERIFY2(editor->Message()->text().contains(QString::fromLatin1(message)), qPrintable(editor->Message()->text()));
      QCOMPARE(Bytes(frame, program.Doc()), kept);
      QCOMPARE(stack.index(), steps);
    }
    // Leaving the field shows what the EDID holds again.
    pane.Tree()->setFocus();
    QCOMPARE(field->text(), QStringLiteral("453000"));

    // Ctrl+Z undoes the EDID with the focus in the tree, in a form's field and in the code
    // window, the report's text in the report view.
    const std::string week = "blocks[0].week";
    for (const char* where : {"tree", "form", "code window"}) {
      Choose(pane, week);
      TypeInto(Widget<QLineEdit>(*editor, week), QStringLiteral("30"));
      QVERIFY(Bytes(frame, program.Doc()) != kept);
      QWidget* focus = pane.Tree();
      if (where == std::string("form")) focus = Widget<QLineEdit>(*editor, week);
      if (where == std::string("code window")) {
        // A tool window is not made active by the window system here.
        QApplication::setActiveWindow(&frame.CodeWindow());
        QCOMPARE(QApplication::activeWindow(), &frame.CodeWindow());
        focus = frame.CodeWindow().findChild<QPlainTextEdit*>();
      }
      focus->setFocus();
      QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
      QVERIFY2(Bytes(frame, program.Doc()) == kept, where);
      QVERIFY2(stack.canRedo(), where);  // undone, not typed back
      QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
      QCOMPARE(ValueAt(Bytes(frame, program.Doc()), week), std::string("30"));
      stack.undo();
    }
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QPlainTextEdit& view = frame.View();
    view.setFocus();
    view.moveCursor(QTextCursor::End);
    const QString text = view.toPlainText();
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(view.toPlainText(), text);
    QCOMPARE(stack.index(), steps);
  }

 private:
  static std::filesystem::path FindSample() {
    for (const std::filesystem::path& path : test::WholeEdidFiles()) {
      if (path.filename() == kSample) return path;
    }
    return {};
  }

  static void Choose(CStructurePane& pane, const std::string& path) {
    const int node = pane.Structure().Find(path);
    QVERIFY2(node >= 0, path.c_str());
    for (QTreeWidgetItemIterator it(pane.Tree()); *it; ++it) {
      if (pane.NodeOf(*it) == node) pane.Tree()->setCurrentItem(*it);
    }
    QCOMPARE(pane.CurrentNode(), node);
  }

  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(NodeEditorTest)
#include "node_editor_test.moc"
