// Undo and redo of the EDID in the whole program: EDID Read and a finished wizard run are one
// step each, a cancelled run none; every step back and forth shows its EDID in the block, the
// code window and the report view; Ctrl+Z in the report view still undoes its text.
#include <QtTest>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWizard>

#include "app/edid_code_dlg.h"
#include "app/edid_history.h"
#include "app/tolvex_view.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/code_dump.h"
#include "report/edid_report.h"
#include "wizard/edid_wizard.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

EdidSnapshot Now(CMainFrame& frame, CTolvexDoc& doc) {
  return {frame.Block().Bytes(), frame.Block().GetProductCodeFormat(), frame.Block().GetSerialFormat(), doc.Extensions()};
}

QString ViewForm(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// File New with a new manufacturer typed on step 1, then Finish (or Cancel); a question to save
// the document first is answered No.
void RunWizard(SimulatedProgram& program, bool finish) {
  ModalAnswerer answerer({QMessageBox::No});
  answerer.SetDialogHandler([finish](QWidget* modal) {
    auto* wizard = qobject_cast<CEdidWizard*>(modal);
    if (!wizard) return;
    auto* manufacturer = wizard->currentPage()->findChild<QLineEdit*>(QStringLiteral("manufacturerEdit"));
    manufacturer->setFocus();
    manufacturer->selectAll();
    QTest::keyClicks(manufacturer, QStringLiteral("XYZ"));
    while (finish && wizard->currentId() < 8) wizard->next();
    QTest::mouseClick(wizard->button(finish ? QWizard::FinishButton : QWizard::CancelButton), Qt::LeftButton);
  });
  program.Frame().Action(kCmdFileNew)->trigger();
}

}  // namespace

class EdidUndoTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void eachActionIsOneStepBackAndForth() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QUndoStack& stack = frame.EdidHistory().Stack();
    auto* undo = frame.findChild<QAction*>(QStringLiteral("undoEdid"));
    auto* redo = frame.findChild<QAction*>(QStringLiteral("redoEdid"));
    QVERIFY(undo && redo);
    QVERIFY(!undo->isEnabled());

    std::vector<EdidSnapshot> states = {Now(frame, program.Doc())};
    frame.Action(kCmdEdidRead)->trigger();
    states.push_back(Now(frame, program.Doc()));
    QCOMPARE(undo->text(), QStringLiteral("&Undo EDID Read"));
    RunWizard(program, true);
    states.push_back(Now(frame, program.Doc()));
    QCOMPARE(undo->text(), QStringLiteral("&Undo wizard run"));
    RunWizard(program, false);  // cancelled: the EDID is as it was, and no step is kept
    QCOMPARE(stack.count(), 2);
    QVERIFY(states[0] != states[1] && states[1] != states[2]);

    // Down to the first state and up again, each step showing its EDID everywhere.
    const auto shows = [&](size_t state) {
      const EdidSnapshot& expected = states[state];
      EdidBlock shown;
      shown.Bytes() = expected.base;
      shown.SetProductCodeFormat(expected.productCodeFormat);
      shown.SetSerialFormat(expected.serialFormat);
      return Now(frame, program.Doc()) == expected &&
             frame.CodeWindow().Text() ==
                 QString::fromLatin1(FormatCodeDump(expected.base) + FormatExtensionCodes(expected.extensions.blocks)) &&
             frame.ViewText() == ViewForm(FormatEdidReport(shown, expected.extensions.blocks));
    };
    for (size_t state : {1, 0}) {
      undo->trigger();
      QVERIFY2(shows(state), qPrintable(QString::number(state)));
    }
    QVERIFY(!undo->isEnabled());
    for (size_t state : {1, 2}) {
      redo->trigger();
      QVERIFY2(shows(state), qPrintable(QString::number(state)));
    }

    // Ctrl+Z in the report view undoes what was typed there, not the EDID.
    QPlainTextEdit& view = frame.View();
    view.setFocus();
    view.moveCursor(QTextCursor::End);
    const QString before = view.toPlainText();
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QVERIFY(view.toPlainText() != before);
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(view.toPlainText(), before);
    QCOMPARE(stack.index(), 2);
    QVERIFY(shows(2));

    // An edit is one step that keeps the document's name; a refused one changes nothing.
    const QString title = program.Doc().Title();
    EditResult refused = frame.ApplyEdit(QStringLiteral("refused"), [](EdidData& edid) {
      edid[20] ^= 0x80;
      return EditResult::Refused("no room");
    });
    QCOMPARE(refused.error, std::string("no room"));
    QCOMPARE(stack.count(), 2);
    QVERIFY(shows(2));
    QVERIFY(frame.ApplyEdit(QStringLiteral("edit"), [](EdidData& edid) {
      edid[20] ^= 0x80;
      return EditResult{};
    }).Ok());
    QCOMPARE(stack.count(), 3);
    QCOMPARE(frame.Block().Bytes()[20], static_cast<uint8_t>(states[2].base[20] ^ 0x80));
    QCOMPARE(frame.ViewText(), ViewForm(FormatEdidReport(frame.Block(), program.Doc().Extensions().blocks)));
    QCOMPARE(program.Doc().Title(), title);
    QVERIFY(program.Doc().IsModified());
    // Byte 20 to the checksum it changed.
    QCOMPARE(frame.CodeWindow().SelectionStart(), WholeCodeHexPosition(20));
    QCOMPARE(frame.CodeWindow().SelectionEnd(), WholeCodeHexPosition(127) + 2);
    undo->trigger();
    QVERIFY(shows(2));
  }

 private:
  QTemporaryDir settingsFolder_;
};

QTEST_MAIN(EdidUndoTest)
#include "edid_undo_test.moc"
