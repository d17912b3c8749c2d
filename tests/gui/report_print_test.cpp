// Paging of the printed report: dumps stay whole on a page where they can, rows never run past
// the text area, and every page's footer counts the pages there are.
#include <QtTest>
#include <QFontDatabase>

#include "app/app_texts.h"
#include "app/report_printer.h"
#include "ddc/sim/sim_edid.h"
#include "report/edid_report.h"
#include "report/report_reader.h"
#include "report/report_texts.h"
#include "test_support.h"

using namespace tolvex;

namespace {

QFont PrintFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(13);
  return font;
}

QString ReportWith(int extensions) {
  EdidBlock block;
  sim::FillSimulatedEdid(block, true);
  std::vector<EdidBytes> blocks;
  for (int k = 0; k < extensions; ++k) blocks.push_back(k == 0 ? test::MakeCtaBlock() : test::MakeExtensionBlock(0x70, 9));
  const std::vector<uint8_t> whole = test::MakeWholeEdid(block.Bytes(), blocks);
  std::copy_n(whole.begin(), kEdidSize, block.Bytes().begin());
  for (int k = 0; k < extensions; ++k) std::copy_n(whole.begin() + kEdidSize * (k + 1), kEdidSize, blocks[k].begin());
  return QString::fromStdString(FormatEdidReport(block, blocks));
}

}  // namespace

class ReportPrintTest : public QObject {
  Q_OBJECT

 private slots:
  void dumpsStayTogetherAndFootersCount_data() {
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("textRows");  // 0: the base dump's heading three rows above a page's end
    QTest::newRow("base report, roomy pages") << 0 << 70;
    QTest::newRow("base dump near a page's end") << 0 << 0;
    QTest::newRow("whole EDID, 40-row pages") << 2 << 40;
    QTest::newRow("whole EDID, 23-row pages") << 2 << 23;
    QTest::newRow("pages shorter than a dump") << 1 << 12;
  }

  void dumpsStayTogetherAndFootersCount() {
    QFETCH(int, extensions);
    QFETCH(int, textRows);
    const QString text = ReportWith(extensions);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    const QFont font = PrintFont();
    const qreal band = 2 * QFontMetricsF(font).lineSpacing();
    const PageMarks marks{QStringLiteral("monitor.ddc"), QStringLiteral("12/9/26")};
    const qreal rowHeight = [&] {
      const ReportPrintLayout probe(QStringLiteral("a\nb"), font, 80, QSizeF(2000, 1000), nullptr);
      return probe.Rows()[1].position.y();
    }();
    const qsizetype heading = lines.indexOf(QString::fromLatin1(report_text::kDumpHeading.data())) - 1;
    QVERIFY(heading > 0);
    if (textRows == 0) textRows = static_cast<int>(heading) + 3;

    const ReportPrintLayout layout(text, font, 80, QSizeF(2000, textRows * rowHeight + 2 * band), nullptr, marks);
    const qreal height = layout.TextHeight();
    QVERIFY(qAbs(height - textRows * rowHeight) < 0.01);
    const std::vector<ReportPrintLayout::Row>& rows = layout.Rows();
    QCOMPARE(rows.size(), static_cast<size_t>(lines.size()));  // wide enough that nothing wraps

    // Rows in order, none past the text area, and no page left empty.
    std::vector<int> rowsOnPage(static_cast<size_t>(layout.PageCount()), 0);
    for (size_t i = 0; i < rows.size(); ++i) {
      QVERIFY(rows[i].position.y() + rowHeight <= height + 0.01);
      if (i > 0) QVERIFY(rows[i].page == rows[i - 1].page || rows[i].page == rows[i - 1].page + 1);
      ++rowsOnPage[static_cast<size_t>(rows[i].page)];
    }
    QVERIFY(std::find(rowsOnPage.begin(), rowsOnPage.end(), 0) == rowsOnPage.end());
    // Keeping dumps whole costs at most a page per dump.
    const int fullPages = (static_cast<int>(rows.size()) + textRows - 1) / textRows;
    QVERIFY2(layout.PageCount() <= fullPages + 1 + extensions,
             qPrintable(QStringLiteral("%1 pages for %2 rows").arg(layout.PageCount()).arg(rows.size())));

    // Every dump's rows on one page when they fit on one; longer ones break only between rows.
    std::vector<std::string> latin1;
    for (const QString& line : lines) latin1.push_back(line.toStdString());
    const std::vector<std::string_view> views(latin1.begin(), latin1.end());
    const std::vector<DumpRowRun> dumps = FindDumpRowRuns(views);
    QCOMPARE(dumps.size(), static_cast<size_t>(1 + extensions));
    for (const DumpRowRun& dump : dumps) {
      QCOMPARE(dump.lineCount, size_t{16});
      const int first = rows[dump.firstLine].page;
      const int last = rows[dump.firstLine + dump.lineCount - 1].page;
      // The heading goes along when it fits too: the separator above the blank line and the rows.
      QCOMPARE(lines[static_cast<qsizetype>(dump.firstLine) - 2], QString::fromLatin1(report_text::kSeparator.data()));
      if (textRows >= 22) QCOMPARE(rows[dump.firstLine - 2].page, first);
      if (textRows >= 16) QCOMPARE(last, first);
      else QCOMPARE(last, first + 1);
    }
    if (textRows == static_cast<int>(heading) + 3) {
      // Three rows were left: the heading and its dump start the next page together.
      QCOMPARE(rows[static_cast<size_t>(heading) - 1].page, 0);
      QCOMPARE(rows[static_cast<size_t>(heading)].page, 1);
      QCOMPARE(rows[static_cast<size_t>(heading)].position.y(), 0.0);
      QCOMPARE(rows[dumps[0].firstLine].page, 1);
    }

    QCOMPARE(layout.Header(), marks.document);
    for (int page = 0; page < layout.PageCount(); ++page) {
      QCOMPARE(layout.FooterPage(page), QStringLiteral("Page %1 of %2").arg(page + 1).arg(layout.PageCount()));
    }
  }
};

QTEST_MAIN(ReportPrintTest)
#include "report_print_test.moc"
