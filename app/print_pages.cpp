#include "app/print_pages.h"

#include <algorithm>
#include <numeric>

namespace tolvex {

namespace {

double HeightOf(const std::vector<PrintLine>& lines, size_t first, size_t count) {
  double height = 0;
  for (size_t i = first; i < std::min(first + count, lines.size()); ++i) {
    height = std::accumulate(lines[i].rowHeights.begin(), lines[i].rowHeights.end(), height);
  }
  return height;
}

// The lengths of the runs that start at `line`, longest first; the line itself last.
std::vector<size_t> RunsFrom(const std::vector<KeepTogether>& keep, size_t line) {
  std::vector<size_t> counts;
  for (const KeepTogether& run : keep) {
    if (run.first == line && run.count > 1) counts.push_back(run.count);
  }
  std::sort(counts.rbegin(), counts.rend());
  counts.push_back(1);
  return counts;
}

}  // namespace

std::vector<std::vector<PagedRow>> PlaceOnPages(const std::vector<PrintLine>& lines,
                                                const std::vector<KeepTogether>& keep, double pageHeight) {
  std::vector<std::vector<PagedRow>> placed(lines.size());
  int page = 0;
  double y = 0;
  const auto turnPage = [&] {
    ++page;
    y = 0;
  };
  size_t keptUntil = 0;  // the end of the run placed last; the runs inside it follow it
  for (size_t line = 0; line < lines.size(); ++line) {
    if (line >= keptUntil) {
      // The longest run decides: one taller than a page starts a page of its own, so that it
      // breaks no more often than it must.
      const size_t count = RunsFrom(keep, line).front();
      const double height = HeightOf(lines, line, count);
      if (y > 0 && y + height > pageHeight) turnPage();
      keptUntil = line + count;
    }
    for (double height : lines[line].rowHeights) {
      if (y > 0 && y + height > pageHeight) turnPage();
      placed[line].push_back({page, y});
      y += height;
    }
  }
  return placed;
}

}  // namespace tolvex
