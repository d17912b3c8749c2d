// Reading rendered text back from pixels, for checks of how a widget lays its text out.
#pragma once

#include <QImage>

namespace tolvex::testing {

// The runs of ink in a rendered line of text, left to right, split where at least `gap` columns
// stay blank: its words, when `gap` is wider than the gaps between letters.
int CountWords(const QImage& line, double gap);

}  // namespace tolvex::testing
