// The "EDID codes" window: the frame's EDID block as a hex and ASCII dump, 16 rows of 8 bytes,
// with the bytes being edited selected, and below it every extension block of the whole EDID
// under a heading row of its own. Editors call HighlightRange as they write; a refresh
// re-renders just the bytes that changed and the checksum byte, and the extension blocks when
// they are no longer the ones shown (a comparison of a few hundred bytes per keystroke).
#pragma once

#include <QDialog>

#include "document/edid_code_view.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

class QPlainTextEdit;

namespace tolvex {

class CEdidCodeDlg : public QDialog, public EdidCodeView {
  Q_OBJECT

 public:
  // The window is a tool window of `owner`; it shows `block`, which it never owns.
  CEdidCodeDlg(EdidBlock& block, QWidget* owner);
  // The same, followed by the extension blocks of `extensions` (also not owned).
  CEdidCodeDlg(EdidBlock& block, const EdidExtensions& extensions, QWidget* owner);

  // Renders the whole block and places the window 20 px left of the owner's right edge and 72 px
  // below its top.
  void Initialise();

  // The window's frame 20 px left of the owner's frame's right edge, 72 px below its top.
  void PlaceBesideOwner();

  // Re-renders (refresh) bytes first..last, recomputing the base block's checksum, and selects
  // them; offsets from 128 on are bytes of the extension blocks.
  void HighlightRange(int first, int last, bool refresh) override;
  void ClearHighlight() override;

  // The dump as the window holds it, with CR LF line ends: 638 characters for the base block
  // (WholeCodeDumpLength with extensions).
  QString Text() const;
  // The selection, as positions in Text().
  int SelectionStart() const;
  int SelectionEnd() const;

 signals:
  // The user closed the window (close box or Esc); it is hidden, not destroyed.
  void closedByUser();
  // A refresh re-rendered changed bytes: every path that changes the block ends in one.
  void bytesRefreshed();

 public slots:
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FitBoxToText();
  const std::vector<EdidBytes>& CurrentExtensions() const;
  // Renders the extension blocks again when they are not the ones shown.
  void FollowExtensions();
  void ReplaceRange(int from, int to, const std::string& text);
  void Select(int from, int to);

  EdidBlock& block_;
  const EdidExtensions* extensions_ = nullptr;
  std::vector<EdidBytes> shownExtensions_;
  // Until a window manager has put its frame round the window, the frame's width is unknown and
  // the right edge only estimated. Declared before edit_: creating the edit sends this window
  // events already.
  bool awaitingFrame_ = true;
  QPlainTextEdit* edit_;
};

}  // namespace tolvex
