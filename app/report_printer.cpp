#include "app/report_printer.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

namespace tolvex {

namespace {

// Continuation rows start under the line's first word, unless that leaves them too little room.
constexpr qreal kMaxIndentShare = 0.75;

qsizetype FirstNonBlank(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && (line[i] == QLatin1Char('\t') || line[i] == QLatin1Char(' '))) ++i;
  return i;
}

}  // namespace

ReportPrintLayout::ReportPrintLayout(const QString& text, const QFont& font, qreal tabStop, const QSizeF& page,
                                     QPaintDevice* device)
    : page_(page) {
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  for (const QString& line : lines.split(QLatin1Char('\n'))) LayOutLine(line, font, tabStop, device);
}

ReportPrintLayout::~ReportPrintLayout() = default;

void ReportPrintLayout::LayOutLine(const QString& line, const QFont& font, qreal tabStop, QPaintDevice* device) {
  auto layout = std::make_unique<QTextLayout>(line, font, device);
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

  const int index = static_cast<int>(layouts_.size());
  for (const QTextLine& row : rows) PlaceRow(row, index, line.mid(row.textStart(), row.textLength()));
  layouts_.push_back(std::move(layout));
}

void ReportPrintLayout::PlaceRow(const QTextLine& line, int layout, const QString& text) {
  if (y_ > 0 && y_ + line.height() > page_.height()) {
    ++pageIndex_;
    y_ = 0;
  }
  rows_.push_back({pageIndex_, QPointF(line.x(), y_), text});
  placed_.push_back({layout, line.lineNumber()});
  y_ += line.height();
}

void ReportPrintLayout::Paint(QPainter& painter, QPagedPaintDevice& device) const {
  int page = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].page != page) {
      device.newPage();
      page = rows_[i].page;
    }
    const QTextLine line = layouts_[static_cast<size_t>(placed_[i].layout)]->lineAt(placed_[i].line);
    // A line draws itself at its own position plus the offset; its x is the hanging indent.
    line.draw(&painter, QPointF(0, rows_[i].position.y() - line.y()));
  }
}

}  // namespace tolvex
