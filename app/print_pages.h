// Where printed rows go: page by page, in plain numbers, so that the paging can be worked out
// and checked without a printer. A report line may take several rows (it wraps); a run of lines
// asked to stay together (a hex dump with its heading) starts on a new page when it does not fit
// on the rest of the current one but would fit on a page of its own.
#pragma once

#include <cstddef>
#include <vector>

namespace tolvex {

struct PrintLine {
  std::vector<double> rowHeights;
};

// Lines first..first+count-1 stay on one page when they can.
struct KeepTogether {
  size_t first;
  size_t count;
};

struct PagedRow {
  int page;
  double y;  // from the top of the page's text area
};

// One entry per line, each with one entry per row. Every line keeps its own rows together as
// well; of the runs that start at a line, the longest decides. A run taller than a page starts on
// a new page and breaks between rows wherever it reaches a page's end.
std::vector<std::vector<PagedRow>> PlaceOnPages(const std::vector<PrintLine>& lines,
                                                const std::vector<KeepTogether>& keep, double pageHeight);

}  // namespace tolvex
