// File New through the whole program on simulated hardware: the command on the frame runs the
// wizard modally, the test answers it through its real widgets, and the document, the report view
// and the EDID code window are checked after Finish, Cancel, Esc and the close box.
#include <QtTest>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QWizard>

#include "app/check_pane.h"
#include "app/check_pane_texts.h"
#include "app/edid_code_dlg.h"
#include "app/tolvex_view.h"
#include "gui/modal_support.h"
#include "gui/sim_app_support.h"
#include "report/code_dump.h"
#include "report/edid_report.h"
#include "test_support.h"
#include "wizard/edid_wizard.h"
#include "wizard/s1_prod_page.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

QString ViewForm(const std::string& report) {
  return QString::fromLatin1(report.data(), static_cast<qsizetype>(report.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString CodeText(const EdidBytes& bytes) { return QString::fromLatin1(FormatCodeDump(bytes)); }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The bytes where two blocks differ, as "offset: actual/expected" items; empty when equal.
QString ByteDifferences(const EdidBytes& actual, const EdidBytes& expected) {
  QStringList items;
  for (int i = 0; i < kEdidSize; ++i) {
    if (actual[i] != expected[i]) items << QString::asprintf("%d: %02X/%02X", i, actual[i], expected[i]);
  }
  return items.join(QLatin1String(", "));
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A block a user might have opened before starting the wizard.
void FillOpenedBlock(EdidBlock& block) {
  block.SetManufacturerId("QRS");
  block.SetProductCode(0x1234);
  block.SetSerialNumber(987654);
  block.SetWeek(17);
  block.SetYear(2004);
  block.SetMaxImageWidth(47);
  block.SetMaxImageHeight(30);
  block.SetGamma(2.2f);
  block.UpdateChecksum();
}

// The wizard as the test's handler sees it: widgets of the current page by object name (the four
// descriptor pages carry the same names), typing, clicking and the sheet's buttons.
class Sheet {
 public:
  explicit Sheet(CEdidWizard& wizard) : wizard_(wizard) {}

  CEdidWizard& Wizard() { return wizard_; }
  int Step() const { return wizard_.currentId() + 1; }

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* widget = wizard_.currentPage()->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("step %d has no widget %s", Step(), name);
    return widget;
  }

  // Focuses the field, selects its text and types over it.
  void Type(const char* field, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(field);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  // Clicks a check box or radio button on its indicator, a push button in its middle.
  void Click(const char* name) {
    auto* button = Find<QAbstractButton>(name);
    if (qobject_cast<QPushButton*>(button))
      QTest::mouseClick(button, Qt::LeftButton);
    else
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }

  // Picks the entry of a drop-down list with the keyboard, as a user without a mouse would.
  void Choose(const char* name, const QString& entry) {
    auto* combo = Find<QComboBox>(name);
    const int index = combo->findText(entry);
    if (index < 0) qFatal("%s has no entry %s", name, qPrintable(entry));
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
  }

  void Press(QWizard::WizardButton which) { QTest::mouseClick(wizard_.button(which), Qt::LeftButton); }
  void Next() { Press(QWizard::NextButton); }
  void NextTo(int step) {
    while (Step() < step) {
      const int before = Step();
      Next();
      if (Step() == before) qFatal("step %d refused Next", before);
    }
  }

 private:
  CEdidWizard& wizard_;
};

// Runs File New through the frame's command; `act` gets the shown wizard once and ends it.
// Message boxes on the way get `answers` in turn, and their texts go to `seen`. Returns whether the
// handler ran; a wizard that `act` left open is cancelled.
bool RunFileNew(SimulatedProgram& program, const std::function<void(Sheet&)>& act,
                std::deque<QMessageBox::StandardButton> answers = {}, QStringList* seen = nullptr) {
  ModalAnswerer answerer(std::move(answers));
  bool ran = false;
  answerer.SetDialogHandler([&](QWidget* modal) {
    auto* wizard = qobject_cast<CEdidWizard*>(modal);
    if (!wizard || ran) return;
    ran = true;
    Sheet sheet(*wizard);
    act(sheet);
    if (wizard->isVisible()) QTest::keyClick(wizard, Qt::Key_Escape);
  });
  program.Frame().Action(kCmdFileNew)->trigger();
  if (seen) *seen = answerer.Texts();
  return ran;
}

}  // namespace

class FileNewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsFolder_.isValid());
    UseTemporarySettings(settingsFolder_);
  }

  void newShowsAHiddenCodeWindowAndKeepsAShownOneShown() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QVERIFY(!frame.IsCodeWindowShown());

    bool shownDuringWizard = false;
    QVERIFY(RunFileNew(program, [&](Sheet& sheet) {
      shownDuringWizard = frame.IsCodeWindowShown() && frame.CodeWindow().isVisible();
      sheet.Press(QWizard::CancelButton);
    }));
    QVERIFY(shownDuringWizard);
    QVERIFY(frame.CodeWindow().isVisible());
    QVERIFY(frame.Action(kCmdEdidCode)->isChecked());

    // A second New must not take the shown window away again.
    QVERIFY(RunFileNew(program, [&](Sheet& sheet) {
      shownDuringWizard = frame.CodeWindow().isVisible();
      sheet.Press(QWizard::CancelButton);
    }));
    QVERIFY(shownDuringWizard);
    QVERIFY(frame.CodeWindow().isVisible());
    QVERIFY(frame.Action(kCmdEdidCode)->isChecked());
  }

  void theCheckPaneFollowsTheWizardKeyByKey() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    const auto manufacturerFinding = [&] {
      for (const CheckFinding& finding : frame.CheckPane().Findings()) {
        if (finding.rule == "manufacturer") return QString::fromStdString(finding.text);
      }
      return QString();
    };
    // Nothing has brought an EDID yet: the blank block nobody sees is not checked.
    const auto showsNothingToCheck = [&] {
      return frame.CheckPane().Findings().empty() && frame.CheckPane().List()->topLevelItemCount() == 0 &&
             frame.CheckPane().Summary()->text() == QString::fromLatin1(texts::kCheckNothing);
    };
    QVERIFY(showsNothingToCheck());

    QStringList afterEachKey;
    QVERIFY(RunFileNew(program, [&](Sheet& sheet) {
      auto* edit = sheet.Find<QLineEdit>("manufacturerEdit");
      edit->setFocus(Qt::TabFocusReason);
      edit->selectAll();
      for (char key : {'A', 'B', 'C'}) {
        QTest::keyClick(edit, key);
        afterEachKey << (showsNothingToCheck() ? QStringLiteral("not checked") : manufacturerFinding());
      }
      sheet.Press(QWizard::CancelButton);
    }));
    QCOMPARE(afterEachKey.size(), 3);
    QVERIFY2(afterEachKey[0].contains(QStringLiteral("codes 1, 0 and 0")), qPrintable(afterEachKey[0]));
    QVERIFY2(afterEachKey[1].contains(QStringLiteral("codes 1, 2 and 0")), qPrintable(afterEachKey[1]));
    QVERIFY(afterEachKey[2].isEmpty());
    // Cancel puts the bytes back, and with them the state of having no EDID at all.
    QVERIFY(showsNothingToCheck());
  }

  void cancelAfterEditingSeveralStepsRestoresEveryByte() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock opened;
    FillOpenedBlock(opened);
    const QString path = folder_.filePath("opened.ddc");
    WriteFile(path, QByteArray::fromStdString(FormatEdidReport(opened)));
    QVERIFY(frame.OpenDocumentFile(path));
    const EdidBytes before = frame.Block().Bytes();
    const QString viewBefore = frame.ViewText();
    const QString titleBefore = frame.windowTitle();
    frame.Block().SetSerialFormat(kSerialDecimal);
    const uint8_t productFormatBefore = frame.Block().GetProductCodeFormat();

    bool editedEveryStep = false;
    QVERIFY(RunFileNew(program, [&](Sheet& sheet) {
      sheet.Click("version3");
      sheet.Type("manufacturerEdit", "ZYX");
      sheet.Type("productCodeEdit", "BEEF");
      sheet.Click("byteSwapCheck");
      sheet.Click("unusedCheck");
      editedEveryStep = program.Frame().Block().GetProductCodeFormat() == kProductCodeSwapped &&
                        program.Frame().Block().GetSerialFormat() == (kSerialUnused | kSerialDecimal);
      sheet.Next();
      sheet.Click("digitalCheck");
      sheet.Type("gammaEdit", "2.8");
      sheet.NextTo(5);
      sheet.Type("timingWidthEdit", "1280");
      sheet.Type("timingRefreshEdit", "75");
      sheet.Click("addButton");
      sheet.NextTo(6);
      sheet.Type("hActive", "800");
      const EdidBytes& now = program.Frame().Block().Bytes();
      editedEveryStep = editedEveryStep && now[8] != before[8] && now[10] != before[10] && now[19] == 3 && now[20] == 0x80 &&
                        now[23] == 180 && now[38] == 0x81 && now[56] == 0x20;
      sheet.Press(QWizard::CancelButton);
    }));
    QVERIFY(editedEveryStep);
    QCOMPARE(frame.Block().Bytes(), before);
    // A later report prints the restored bytes as before: not swapped, and the serial not "Unused".
    QCOMPARE(frame.Block().GetProductCodeFormat(), productFormatBefore);
    QCOMPARE(frame.Block().GetSerialFormat(), kSerialDecimal);
    QCOMPARE(frame.CodeWindow().Text(), CodeText(before));
    QCOMPARE(frame.CodeWindow().SelectionStart(), frame.CodeWindow().SelectionEnd());
    QCOMPARE(frame.ViewText(), viewBefore);
    QCOMPARE(frame.windowTitle(), titleBefore);
    QCOMPARE(program.Doc().PathName(), path);
    QVERIFY(!program.Doc().IsModified());
  }

  void escapeAndTheCloseBoxCancelToo() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    const EdidBytes before = frame.Block().Bytes();

    QVERIFY(RunFileNew(program, [](Sheet& sheet) {
      sheet.Type("manufacturerEdit", "ABC");
      sheet.NextTo(2);
      sheet.Type("widthEdit", "99");
      QTest::keyClick(&sheet.Wizard(), Qt::Key_Escape);
    }));
    QCOMPARE(frame.Block().Bytes(), before);
    QCOMPARE(frame.CodeWindow().Text(), CodeText(before));
    QVERIFY(!program.Doc().IsModified());

    QVERIFY(RunFileNew(program, [](Sheet& sheet) {
      sheet.Type("manufacturerEdit", "DEF");
      sheet.NextTo(7);
      sheet.Click("monitorDescriptor");
      sheet.Wizard().close();
    }));
    QCOMPARE(frame.Block().Bytes(), before);
    QCOMPARE(frame.CodeWindow().Text(), CodeText(before));
    QVERIFY(!program.Doc().IsModified());
    QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled - Tolvex 3.01"));
  }

  // A monitor whose EEPROM lost its header is read, then a good report is loaded on step 1: the
  // code window must show the header bytes the block then holds, and the old ones after Cancel.
  void codeWindowFollowsTheHeaderBytesOfALoadedReport() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock damaged;
    FillOpenedBlock(damaged);
    damaged.Bytes()[0] = 0x5A;
    damaged.Bytes()[3] = 0x00;
    damaged.UpdateChecksum();
    std::copy(damaged.Bytes().begin(), damaged.Bytes().end(), program.Monitor().AnalogEeprom().Memory().begin());
    frame.Action(kCmdEdidRead)->trigger();
    QCOMPARE(frame.Block().Bytes(), damaged.Bytes());
    QCOMPARE(frame.CodeWindow().Text(), CodeText(damaged.Bytes()));

    EdidBlock good;
    FillOpenedBlock(good);
    good.SetManufacturerId("GUD");
    good.UpdateChecksum();
    const QString path = folder_.filePath("good.ddc");
    WriteFile(path, QByteArray::fromStdString(FormatEdidReport(good)));

    QString codeAfterLoad;
    for (QWizard::WizardButton end : {QWizard::CancelButton, QWizard::FinishButton}) {
      // The read left an unsaved document, which Finish offers to save: not now.
      QVERIFY(RunFileNew(
          program,
          [&](Sheet& sheet) {
            sheet.Wizard().ProductPage()->SetFileChooser([&path](QWidget*) { return path; });
            sheet.Click("loadButton");
            codeAfterLoad = frame.CodeWindow().Text();
            if (end == QWizard::FinishButton) sheet.NextTo(9);
            sheet.Press(end);
          },
          {QMessageBox::No}));
      QCOMPARE(codeAfterLoad, CodeText(good.Bytes()));
      QCOMPARE(frame.Block().Bytes(), end == QWizard::CancelButton ? damaged.Bytes() : good.Bytes());
      QCOMPARE(frame.CodeWindow().Text(), CodeText(frame.Block().Bytes()));
    }
  }

  // Finish replaces the document: unsaved edits are offered for saving first. Cancel there goes
  // back to the wizard, Yes saves them, and then the untitled report replaces the document.
  void finishOffersToSaveAnEditedDocumentFirst() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    EdidBlock opened;
    FillOpenedBlock(opened);
    const QString path = folder_.filePath("edited.ddc");
    WriteFile(path, QByteArray::fromStdString(FormatEdidReport(opened)));
    QVERIFY(frame.OpenDocumentFile(path));
    frame.View().moveCursor(QTextCursor::End);
    QTest::keyClicks(&frame.View(), "unsaved note");
    QVERIFY(program.Doc().IsModified());

    const QByteArray edited = ReadFile(path) + "unsaved note";
    bool stayedAfterCancel = false;
    QStringList questions;
    QVERIFY(RunFileNew(
        program,
        [&](Sheet& sheet) {
          sheet.Type("manufacturerEdit", "NEW");
          sheet.NextTo(9);
          sheet.Press(QWizard::FinishButton);
          stayedAfterCancel = sheet.Wizard().isVisible() && sheet.Step() == 9 && ReadFile(path) != edited;
          sheet.Press(QWizard::FinishButton);
        },
        {QMessageBox::Cancel, QMessageBox::Yes}, &questions));
    QCOMPARE(questions, QStringList({"Save changes to edited.ddc?", "Save changes to edited.ddc?"}));
    QVERIFY(stayedAfterCancel);
    QCOMPARE(ReadFile(path), edited);

    EdidBlock& block = frame.Block();
    QCOMPARE(block.GetManufacturerId(), std::string("NEW"));
    QCOMPARE(ComputeChecksum(block.Bytes()), block.GetChecksum());
    QCOMPARE(frame.ViewText(), ViewForm(FormatEdidReport(block)));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled* - Tolvex 3.01"));
    QVERIFY(program.Doc().IsModified());
    QVERIFY(program.Doc().PathName().isEmpty());
    QCOMPARE(frame.CodeWindow().Text(), CodeText(block.Bytes()));
    QCOMPARE(frame.CodeWindow().SelectionStart(), frame.CodeWindow().SelectionEnd());

    // Save has no name to use, so it asks for one; the file is the report with CR LF lines.
    QStringList asked;
    const QString savedPath = folder_.filePath("new-monitor.ddc");
    frame.askSavePath = [&](const QString& suggested) {
      asked << suggested;
      return savedPath;
    };
    frame.Action(kCmdFileSave)->trigger();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(ReadFile(savedPath), QByteArray::fromStdString(FormatEdidReport(block)));
    QCOMPARE(program.Doc().PathName(), savedPath);
    QVERIFY(!program.Doc().IsModified());
  }

  // A run through every step that changes no field must give back the bytes it was given, in
  // every block a real monitor holds: no step may rewrite what it only shows.
  void aRunWithoutEditsKeepsEveryByteOfRealBlocks() {
    std::vector<std::filesystem::path> samples;
    const std::vector<std::filesystem::path> all = test::SampleFiles();
    // Every block that claims 1.4, and a spread of the others.
    for (size_t i = 0; i < all.size(); ++i) {
      if (i % 8 == 0 || test::ReadSample(all[i])[19] >= 4) samples.push_back(all[i]);
    }
    if (samples.empty()) QSKIP("no sample EDIDs beside the checkout");
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();
    QStringList changed, refused;
    for (const std::filesystem::path& sample : samples) {
      const QString name = QString::fromStdString(sample.filename().string());
      EdidBytes expected = test::ReadSample(sample);
      expected[127] = ComputeChecksum(expected);
      {
        ModalAnswerer quiet;  // what opening the file has to say (missing extension blocks)
        QVERIFY(frame.OpenDocumentFile(QString::fromStdString(sample.string())));
      }
      QStringList seen;
      bool finished = false;
      QVERIFY(RunFileNew(program, [&](Sheet& sheet) {
        for (int before = 0; before != sheet.Step();) {
          before = sheet.Step();
          sheet.Next();
        }
        finished = sheet.Step() == sheet.Wizard().pageIds().size();
        if (finished) sheet.Press(QWizard::FinishButton);
      }, {}, &seen));
      const bool warned = !seen.filter(QStringLiteral("claims E-EDID 1.")).isEmpty();
      if (warned != (expected[19] >= 4)) changed << name + QLatin1String(warned ? ": warned" : ": no 1.4 warning");
      if (!finished) refused << name + QLatin1String(": ") + seen.join(QLatin1Char(' '));
      const QString difference = ByteDifferences(frame.Block().Bytes(), expected);
      if (!difference.isEmpty()) changed << name + QLatin1String(": ") + difference;
      program.Doc().SetModifiedFlag(false);
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.mid(0, 5).join(QLatin1Char('\n'))));
    QVERIFY2(refused.isEmpty(), qPrintable(refused.mid(0, 20).join(QLatin1Char('\n'))));
  }

  void fullRunBuildsAVersion13MonitorBlock() {
    SimulatedProgram program;
    CMainFrame& frame = program.Frame();
    frame.show();

    QVERIFY(RunFileNew(program, [](Sheet& sheet) {
      // Step 1: identification.
      sheet.Click("version3");
      sheet.Type("manufacturerEdit", "tlx");
      sheet.Type("productCodeEdit", "5a21");
      sheet.Click("serialDecRadio");
      sheet.Type("serialEdit", "20240917");
      sheet.Type("weekEdit", "38");
      sheet.Type("yearEdit", "2024");
      sheet.Next();
      // Step 2: digital input, 53 x 30 cm, gamma 2.2.
      sheet.Click("digitalCheck");
      sheet.Type("widthEdit", "53");
      sheet.Type("heightEdit", "30");
      sheet.Type("gammaEdit", "2.2");
      sheet.Next();
      // Step 3: all DPMS states, an RGB display (the default block says monochrome), preferred
      // timing, sRGB-like chromaticity.
      for (const char* check : {"standbyCheck", "suspendCheck", "activeOffCheck", "displayType1", "preferredTimingCheck"})
        sheet.Click(check);
      const char* coordinates[] = {"0.64", "0.33", "0.3", "0.6", "0.15", "0.06", "0.313", "0.329"};
      for (int i = 0; i < 8; ++i) sheet.Type(qPrintable(QStringLiteral("coordinate%1").arg(i)), QString::fromLatin1(coordinates[i]));
      sheet.Next();
      // Step 4: 640x480@60, 800x600@60, 1024x768@60.
      for (const char* box : {"establishedTiming2", "establishedTiming7", "establishedTiming12"}) sheet.Click(box);
      sheet.Next();
      // Step 5: three standard timings.
      struct StdTiming {
        const char* width;
        const char* aspect;
        const char* refresh;
      };
      for (const StdTiming& t : {StdTiming{"1280", "5:4", "60"}, StdTiming{"1600", "4:3", "60"}, StdTiming{"1920", "16:9", "60"}}) {
        sheet.Type("timingWidthEdit", QString::fromLatin1(t.width));
        sheet.Choose("aspectCombo", QString::fromLatin1(t.aspect));
        sheet.Type("timingRefreshEdit", QString::fromLatin1(t.refresh));
        sheet.Click("addButton");
      }
      sheet.Next();
      // Step 6, BLOCK 1: 1920x1080 at 60 Hz, digital separate sync, both polarities positive.
      const std::pair<const char*, const char*> timing[] = {
          {"pixelClock", "148.5"}, {"hActive", "1920"},   {"hBlanking", "280"},   {"vActive", "1080"},
          {"vBlanking", "45"},     {"hSyncOffset", "88"}, {"hSyncWidth", "44"},   {"vSyncOffset", "4"},
          {"vSyncWidth", "5"},     {"hImageSize", "531"}, {"vImageSize", "299"},
      };
      for (const auto& [field, value] : timing) sheet.Type(field, QString::fromLatin1(value));
      sheet.Click("syncType3");
      sheet.Click("firstSyncFlag");
      sheet.Click("secondSyncFlag");
      sheet.Next();
      // Step 7, BLOCK 2: range limits with a secondary GTF curve.
      sheet.Click("monitorDescriptor");
      sheet.Choose("tagSelector", QStringLiteral("Monitor Range Limits"));
      const std::pair<const char*, const char*> limits[] = {
          {"minVertical", "50"}, {"maxVertical", "75"}, {"minHorizontal", "30"}, {"maxHorizontal", "83"},
          {"maxPixelClock", "170"},
      };
      for (const auto& [field, value] : limits) sheet.Type(field, QString::fromLatin1(value));
      sheet.Click("rangeCheckBox");
      sheet.Type("gtfStart", "60");
      sheet.Type("gtfC", "30");
      sheet.Next();
      // Step 8, BLOCK 3: the monitor name.
      sheet.Click("monitorDescriptor");
      sheet.Choose("tagSelector", QStringLiteral("Monitor Name"));
      sheet.Type("descriptorText", "TOLVEX T24");
      sheet.Next();
      // Step 9, BLOCK 4: the serial number as text.
      sheet.Click("monitorDescriptor");
      sheet.Choose("tagSelector", QStringLiteral("Monitor S/N (ASCII)"));
      sheet.Type("descriptorText", "T24X0001234");
      sheet.Press(QWizard::FinishButton);
    }));

    // The same monitor, written straight through the block's operations.
    EdidBlock expected;
    expected.SetVersion(1, 3);
    expected.SetManufacturerId("TLX");
    expected.SetProductCodeFormat(0);
    expected.SetProductCode(0x5A21);
    expected.SetSerialFormat(kSerialDecimal);
    expected.SetSerialNumber(20240917);
    expected.SetWeek(38);
    expected.SetYear(2024);
    expected.SetDigitalInput(1);
    expected.SetMaxImageWidth(53);
    expected.SetMaxImageHeight(30);
    expected.SetGamma(2.2f);
    expected.SetStandby(1);
    expected.SetSuspend(1);
    expected.SetActiveOff(1);
    expected.SetDisplayType(1);
    expected.SetPreferredTiming(1);
    expected.SetChromaticity({0.64f, 0.33f, 0.3f, 0.6f, 0.15f, 0.06f, 0.313f, 0.329f});
    expected.SetEstablishedTimings(0x21, 0x08, 0x00);
    const unsigned stdTimings[][3] = {{1280, 2, 60}, {1600, 1, 60}, {1920, 3, 60}};
    for (int slot = 0; slot < 3; ++slot) {
      expected.SetStdTimingWidth(slot, stdTimings[slot][0]);
      expected.SetStdTimingAspect(slot, stdTimings[slot][1]);
      expected.SetStdTimingRefresh(slot, stdTimings[slot][2]);
    }
    expected.SelectDescriptor(0);
    expected.SetPixelClock(148.5f);
    expected.SetHActive(1920);
    expected.SetHBlanking(280);
    expected.SetVActive(1080);
    expected.SetVBlanking(45);
    expected.SetHSyncOffset(88);
    expected.SetHSyncWidth(44);
    expected.SetVSyncOffset(4);
    expected.SetVSyncWidth(5);
    expected.SetHImageSize(531);
    expected.SetVImageSize(299);
    expected.SetSyncMode(3 << 2 | 1 << 1 | 1);
    expected.SelectDescriptor(1);
    expected.WriteDescriptorHeader(kTagRangeLimits);
    expected.SetRangeLimits(30, 83, 50, 75, 170);
    expected.SetSecondaryGtf(0x02, 60, 30, 600, 128, 20);
    expected.SelectDescriptor(2);
    expected.WriteDescriptorHeader(kTagMonitorName);
    expected.SetDescriptorText(kTagMonitorName, "TOLVEX T24");
    expected.SelectDescriptor(3);
    expected.WriteDescriptorHeader(kTagSerialNumber);
    expected.SetDescriptorText(kTagSerialNumber, "T24X0001234");
    expected.UpdateChecksum();

    EdidBlock& block = frame.Block();
    QCOMPARE(ByteDifferences(block.Bytes(), expected.Bytes()), QString());
    QCOMPARE(block.GetProductCodeFormat(), expected.GetProductCodeFormat());
    QCOMPARE(block.GetSerialFormat(), expected.GetSerialFormat());
    const std::string report = FormatEdidReport(expected);
    QCOMPARE(frame.ViewText(), ViewForm(report));
    QCOMPARE(frame.CodeWindow().Text(), CodeText(expected.Bytes()));

    // A few decoded lines, as an engineer would look for them.
    const QString view = frame.ViewText();
    for (const char* line : {"\tID Manufacturer Name            :  TLX\n", "\tID Serial Number                :  20240917 (DEC.)\n",
                             "\tMonitor Name                    :  TOLVEX T24\n",
                             "\tSerial Number                   :  T24X0001234\n",
                             "\tMax. Supported Pixel            :  170\n", "\tSecondary GTF timing formula supported.\n",
                             "\tStart frequency Horiz. freq. KHz:  60\n", "\tC: Offset constant (%)          :  30\n"}) {
      QVERIFY2(view.contains(QString::fromLatin1(line)), line);
    }
  }

 private:
  QTemporaryDir settingsFolder_;
  QTemporaryDir folder_;
};

QTEST_MAIN(FileNewTest)
#include "file_new_test.moc"
