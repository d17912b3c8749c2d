#include "app/report_printer.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

#include <string>
#include <string_view>

#include "app/app_texts.h"
#include "app/print_pages.h"
#include "report/report_reader.h"

namespace tolvex {

namespace {

// Continuation rows start under the line's first word, unless that leaves them too little room.
constexpr qreal kMaxIndentShare = 0.75;
// A mark's band: its row and as much again between it and the text.
constexpr qreal kBandRows = 2;
// A dump's heading (separators, the block's name, kind and checksum) goes with its rows: the
// lines before them back to a blank line, past the one blank line right above the rows.
constexpr size_t kMaxHeadingLines = 6;

qsizetype FirstNonBlank(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && (line[i] == QLatin1Char('\t') || line[i] == QLatin1Char(' '))) ++i;
  return i;
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// Each dump's rows, and the rows with their heading before them.
std::vector<KeepTogether> DumpsToKeepTogether(const std::vector<std::string>& lines) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  std::vector<KeepTogether> keep;
  for (const DumpRowRun& run : FindDumpRowRuns(views)) {
    keep.push_back({run.firstLine, run.lineCount});
    size_t first = run.firstLine;
    if (first > 0 && IsBlankLine(views[first - 1])) --first;
    size_t heading = 0;
    while (first > heading && heading < kMaxHeadingLines && !IsBlankLine(views[first - heading - 1])) ++heading;
    if (heading > 0) keep.push_back({first - heading, run.firstLine + run.lineCount - (first - heading)});
  }
  return keep;
}

}  // namespace

ReportPrintLayout::ReportPrintLayout(const QString& text, const QFont& font, qreal tabStop, const QSizeF& page,
                                     QPaintDevice* device, std::optional<PageMarks> marks)
    : page_(page), font_(font), marks_(std::move(marks)) {
  if (marks_) band_ = kBandRows * QFontMetricsF(font, device).lineSpacing();
  QString all = text;
  all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  const QStringList lines = all.split(QLatin1Char('\n'));

  std::vector<std::vector<QTextLine>> rows;
  std::vector<PrintLine> heights;
  std::vector<std::string> latin1;
  for (const QString& line : lines) {
    rows.push_back(LayOutLine(line, tabStop, device));
    PrintLine& printed = heights.emplace_back();
    for (const QTextLine& row : rows.back()) printed.rowHeights.push_back(row.height());
    latin1.push_back(line.toLatin1().toStdString());
  }

  const std::vector<std::vector<PagedRow>> paged = PlaceOnPages(heights, DumpsToKeepTogether(latin1), TextHeight());
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t r = 0; r < rows[i].size(); ++r) {
      const QTextLine& row = rows[i][r];
      const QString part = lines[static_cast<qsizetype>(i)].mid(row.textStart(), row.textLength());
      rows_.push_back({paged[i][r].page, QPointF(row.x(), paged[i][r].y), part, static_cast<int>(i)});
      placed_.push_back({static_cast<int>(i), row.lineNumber()});
    }
  }
}

ReportPrintLayout::~ReportPrintLayout() = default;

std::vector<QTextLine> ReportPrintLayout::LayOutLine(const QString& line, qreal tabStop, QPaintDevice* device) {
  auto layout = std::make_unique<QTextLayout>(line, font_, device);
  QTextOption option;
  option.setTabStopDistance(tabStop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);

  layout->beginLayout();
  QTextLine first = layout->createLine();
  first.setLineWidth(page_.width());
  // The indent is where the first word stands once the tabs are expanded.
  const qreal indent =
      std::min(first.cursorToX(static_cast<int>(FirstNonBlank(line))), kMaxIndentShare * page_.width());
  std::vector<QTextLine> rows{first};
  for (QTextLine next = layout->createLine(); next.isValid(); next = layout->createLine()) {
    next.setLineWidth(page_.width() - indent);
    next.setPosition(QPointF(indent, 0));
    rows.push_back(next);
  }
  layout->endLayout();
  layouts_.push_back(std::move(layout));
  return rows;
}

QString ReportPrintLayout::Header() const { return marks_ ? marks_->document : QString(); }

QString ReportPrintLayout::FooterPage(int page) const {
  return marks_ ? QString::fromLatin1(texts::kPrintPageOf).arg(page + 1).arg(PageCount()) : QString();
}

void ReportPrintLayout::Paint(QPainter& painter, QPagedPaintDevice& device) const {
  for (int page = 0; page < PageCount(); ++page) {
    if (page > 0) device.newPage();
    PaintPage(painter, page);
  }
}

void ReportPrintLayout::PaintPage(QPainter& painter, int page) const {
  PaintMarks(painter, page);
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].page != page) continue;
    const QTextLine line = layouts_[static_cast<size_t>(placed_[i].layout)]->lineAt(placed_[i].line);
    // A line draws itself at its own position plus the offset; its x is the hanging indent.
    line.draw(&painter, QPointF(0, band_ + rows_[i].position.y() - line.y()));
  }
}

void ReportPrintLayout::PaintMarks(QPainter& painter, int page) const {
  if (!marks_) return;
  painter.save();
  painter.setFont(font_);
  const qreal row = band_ / kBandRows;
  const QRectF header(0, 0, page_.width(), row);
  const QRectF footer(0, page_.height() - row, page_.width(), row);
  painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, Header());
  // A hairline halfway between the marks and the text sets them apart.
  const QPen pen(painter.pen().color(), 0);
  painter.setPen(pen);
  painter.drawLine(QPointF(0, row * 1.5), QPointF(page_.width(), row * 1.5));
  painter.drawLine(QPointF(0, page_.height() - row * 1.5), QPointF(page_.width(), page_.height() - row * 1.5));
  painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, marks_->date);
  painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, FooterPage(page));
  painter.restore();
}

}  // namespace tolvex
