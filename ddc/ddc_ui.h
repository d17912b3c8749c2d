// What the DDC transport asks of the user interface. The GUI implements these; the command-line
// tool and the tests have their own. Nothing here knows a toolkit.
#pragma once

#include <string>
#include <string_view>

namespace tolvex {

// The plain message box with an OK button that the S3 probe shows.
class ProbeUi {
 public:
  virtual ~ProbeUi() = default;
  virtual void ShowMessage(std::string_view text) = 0;
};

// Feedback while a transfer command runs.
class TransferUi {
 public:
  virtual ~TransferUi() = default;
  // Status-bar text; it must be visible at once, the command keeps the thread busy.
  virtual void SetStatusText(std::string_view text) = 0;
  // Error message box owned by the main window, error icon, OK button.
  virtual void ShowError(std::string_view text, std::string_view caption) = 0;
  // A transfer's error with what it means and what to try (`help`, one or more sentences on
  // lines of their own); shown as one message under the error's text unless a UI keeps them apart.
  virtual void ShowTransferError(std::string_view text, std::string_view caption, std::string_view help) {
    if (help.empty()) return ShowError(text, caption);
    ShowError(std::string(text) + "\n" + std::string(help), caption);
  }
  // true: wait cursor; false: the arrow again.
  virtual void SetWaitCursor(bool wait) = 0;
  // What the user should know of a command that went through: what a read found wrong. The
  // status bar shows it (stderr on the command line).
  virtual void ShowNote(std::string_view text) { SetStatusText(text); }
  // What the user should know before the command goes on (an information box with an OK button).
  virtual void ShowInformation(std::string_view text, std::string_view caption) {
    (void)caption;
    ShowNote(text);
  }
  // A question before a risky step that the safety rules let the user take (Yes/No, No the
  // default); true goes ahead. Where nobody can be asked, the answer is no.
  virtual bool ConfirmRisk(std::string_view question) {
    (void)question;
    return false;
  }
  // Before a write replaces the EDID of another monitor (Yes/Cancel, Cancel the default); true
  // goes ahead. Where nobody can be asked, it is answered as a risk is.
  virtual bool ConfirmReplace(std::string_view question) { return ConfirmRisk(question); }
};

// The document side that a successful read replaces, and the EDID code window.
class EdidDocumentUi {
 public:
  virtual ~EdidDocumentUi() = default;
  // Shows the EDID code window if it is hidden.
  virtual void ShowCodeWindow() = 0;
  // Re-renders (refresh) and selects bytes first..last; a refresh also recomputes the checksum.
  virtual void HighlightRange(int first, int last, bool refresh) = 0;
  virtual void ClearHighlight() = 0;
  // Re-initialises the document as a new, modified, "Untitled" one showing this report text.
  virtual void ReplaceDocument(const std::string& reportText) = 0;
};

}  // namespace tolvex
