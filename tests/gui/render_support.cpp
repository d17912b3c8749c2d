#include "gui/render_support.h"

namespace tolvex::testing {

int CountWords(const QImage& line, double gap) {
  int words = 0;
  int blank = static_cast<int>(gap) + 1;
  for (int x = 0; x < line.width(); ++x) {
    bool ink = false;
    for (int y = 0; y < line.height() && !ink; ++y) ink = qGray(line.pixel(x, y)) < 128;
    if (ink && blank >= gap) ++words;
    blank = ink ? 0 : blank + 1;
  }
  return words;
}

}  // namespace tolvex::testing
