// Prints the report text page by page as the view shows it: the view's font and tab stops, and a
// line too long for the paper continues under its own first word (a hanging indent) instead of
// at the left margin, so that "\t\t\t\t\t   720 x 400 @70Hz (IBM,VGA)" stays readable as a column.
#pragma once

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace tolvex {

class ReportPrintLayout {
 public:
  // `font` and `tabStop` as the device measures them; `page` is the printable area in its pixels.
  ReportPrintLayout(const QString& text, const QFont& font, qreal tabStop, const QSizeF& page, QPaintDevice* device);
  ~ReportPrintLayout();

  // One printed row: part of a report line, where it stands on its page.
  struct Row {
    int page;
    QPointF position;
    QString text;
  };
  const std::vector<Row>& Rows() const { return rows_; }
  int PageCount() const { return rows_.empty() ? 1 : rows_.back().page + 1; }

  // Paints every page, starting a new page on `device` between them.
  void Paint(QPainter& painter, QPagedPaintDevice& device) const;

 private:
  void LayOutLine(const QString& line, const QFont& font, qreal tabStop, QPaintDevice* device);
  void PlaceRow(const QTextLine& line, int layout, const QString& text);

  QSizeF page_;
  qreal y_ = 0;
  int pageIndex_ = 0;
  std::vector<std::unique_ptr<QTextLayout>> layouts_;
  struct Placed {
    int layout;
    int line;
  };
  std::vector<Placed> placed_;
  std::vector<Row> rows_;
};

}  // namespace tolvex
