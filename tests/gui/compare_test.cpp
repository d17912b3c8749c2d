// File > Compare with...: the window shows the shared diff text of the document and the other
// file, follows the document, and a file that cannot be read changes nothing.
#include <QtTest>
#include <QPlainTextEdit>

#include "app/compare_window.h"
#include "app/main_frame.h"
#include "ddc/format_text.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "model/edid_extensions.h"
#include "report/edid_diff.h"
#include "report/edid_report.h"
#include "test_support.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QByteArray Raw(const std::vector<uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

EdidBytes BlockOf(const std::vector<uint8_t>& whole, int block) {
  EdidBytes bytes{};
  std::copy_n(whole.begin() + block * kEdidSize, kEdidSize, bytes.begin());
  return bytes;
}

}  // namespace

class CompareTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void showsTheDiffOfTheDocumentAndFollowsIt() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock base(test::FixedDate(2024, 5, 1));
    const std::vector<uint8_t> a = test::MakeWholeEdid(base.Bytes(), {test::MakeCtaBlock()});
    std::vector<uint8_t> b = a;
    b[16] = 9;  // the week of manufacture
    b[127] = ComputeChecksum(BlockOf(b, 0));
    base.Bytes() = BlockOf(a, 0);
    const std::vector<EdidBytes> extensions{BlockOf(a, 1)};
    WriteBytes(folder_.filePath("a.ddc"), QByteArray::fromStdString(FormatEdidReport(base, extensions)));
    WriteBytes(folder_.filePath("b.bin"), Raw(b));
    QVERIFY(frame.OpenDocumentFile(folder_.filePath("a.ddc")));

    frame.askComparePath = [&] { return folder_.filePath("b.bin"); };
    frame.Action(kCmdFileCompare)->trigger();
    CCompareWindow* window = frame.CompareWindow();
    QVERIFY(window && window->isVisible());
    const EdidDifference expected = DiffEdids(a, b);
    QVERIFY(!expected.same);
    QVERIFY2(expected.text.find(FormatText("  blocks[0].week: %d -> 9\n", a[16])) != std::string::npos, expected.text.c_str());
    QCOMPARE(window->Text()->toPlainText(), QString::fromStdString(expected.text));
    QVERIFY(window->Text()->isReadOnly());
    QCOMPARE(window->windowTitle(), QStringLiteral("Compare a.ddc with b.bin"));

    // The document becomes b itself: nothing differs any more.
    QVERIFY(frame.OpenDocumentFile(folder_.filePath("b.bin")));
    QCOMPARE(window->Text()->toPlainText(), QString::fromStdString(DiffEdids(b, b).text));
    QCOMPARE(window->windowTitle(), QStringLiteral("Compare b with b.bin"));
  }

  void aFileThatCannotBeReadChangesNothing() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock base(test::FixedDate(2024, 5, 1));
    WriteBytes(folder_.filePath("doc.ddc"), QByteArray::fromStdString(FormatEdidReport(base)));
    QVERIFY(frame.OpenDocumentFile(folder_.filePath("doc.ddc")));
    const EdidBytes before = frame.Block().Bytes();
    const QString viewBefore = frame.ViewText();
    WriteBytes(folder_.filePath("junk.txt"), "no dump in here\n");

    struct Broken {
      QString path;
      QString box;
    };
    const QString missing = folder_.filePath("missing.bin");
    for (const Broken& broken : {Broken{missing, QString::fromLatin1(texts::kCannotFindFile).arg(missing)},
                                 Broken{folder_.filePath("junk.txt"), QString::fromLatin1(texts::kInvalidHexFile)}}) {
      frame.askComparePath = [&] { return broken.path; };
      ModalAnswerer answers({QMessageBox::No});
      frame.Action(kCmdFileCompare)->trigger();
      QCOMPARE(answers.Texts(), QStringList{broken.box});
      QVERIFY(!frame.CompareWindow());
      QCOMPARE(frame.Block().Bytes(), before);
      QCOMPARE(frame.ViewText(), viewBefore);
      QVERIFY(!program.Doc().IsModified());
    }
  }

 private:
  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
};

QTEST_MAIN(CompareTest)
#include "compare_test.moc"
