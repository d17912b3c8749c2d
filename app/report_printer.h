// Prints the report text page by page as the view shows it: the view's font and tab stops, and a
// line too long for the paper continues under its own first word (a hanging indent) instead of
// at the left margin, so that "\t\t\t\t\t   720 x 400 @70Hz (IBM,VGA)" stays readable as a column.
// A hex dump keeps its rows (and its heading, when there is room) on one page; each page can carry
// the document's name above the text and the date and "Page x of y" below it.
#pragma once

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace tolvex {

// What each page names besides the report.
struct PageMarks {
  QString document;  // the header: the file's name, or the new document's title
  QString date;      // the footer's left: the day printed
};

class ReportPrintLayout {
 public:
  // `font` and `tabStop` as the device measures them; `page` is the printable area in its pixels.
  // With marks, a band of that area above and below the text holds them.
  ReportPrintLayout(const QString& text, const QFont& font, qreal tabStop, const QSizeF& page, QPaintDevice* device,
                    std::optional<PageMarks> marks = std::nullopt);
  ~ReportPrintLayout();

  // One printed row: part of a report line, where it stands on its page (from the top of the
  // page's text area, which starts below the header band).
  struct Row {
    int page;
    QPointF position;
    QString text;
    int line;  // the report line it belongs to, counted from 0
  };
  const std::vector<Row>& Rows() const { return rows_; }
  int PageCount() const { return rows_.empty() ? 1 : rows_.back().page + 1; }
  // The height the text has on each page.
  qreal TextHeight() const { return page_.height() - 2 * band_; }

  // The marks of page `page` (from 0); empty without marks.
  QString Header() const;
  QString FooterPage(int page) const;

  // Paints every page, starting a new page on `device` between them.
  void Paint(QPainter& painter, QPagedPaintDevice& device) const;
  // Paints one page (from 0) with its marks, the printable area's top left at the painter's origin.
  void PaintPage(QPainter& painter, int page) const;

 private:
  std::vector<QTextLine> LayOutLine(const QString& line, qreal tabStop, QPaintDevice* device);
  void PaintMarks(QPainter& painter, int page) const;

  QSizeF page_;
  QFont font_;
  std::optional<PageMarks> marks_;
  qreal band_ = 0;
  std::vector<std::unique_ptr<QTextLayout>> layouts_;
  struct Placed {
    int layout;
    int line;
  };
  std::vector<Placed> placed_;
  std::vector<Row> rows_;
};

}  // namespace tolvex
