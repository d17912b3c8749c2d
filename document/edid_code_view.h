// The two operations of the "EDID codes" window that editors call as they write into the block:
// the window implements them, and the document, the wizard and its editors reach the window
// through this alone.
#pragma once

namespace tolvex {

class EdidCodeView {
 public:
  // Re-renders (refresh) bytes first..last, recomputing the checksum, and selects them. Offsets
  // are in the whole EDID: the base block's 0-127, then 128 per extension block.
  virtual void HighlightRange(int first, int last, bool refresh) = 0;
  virtual void ClearHighlight() = 0;

 protected:
  ~EdidCodeView() = default;
};

}  // namespace tolvex
