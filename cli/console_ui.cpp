#include "cli/console_ui.h"

#include "cli/cli_texts.h"

namespace tolvex {

void ConsoleUi::EndProgressLine() {
  if (progressOpen_) err_ << '\n';
  progressOpen_ = false;
}

void ConsoleUi::ShowMessage(std::string_view text) {
  EndProgressLine();
  err_ << text << '\n';
}

void ConsoleUi::SetStatusText(std::string_view text) {
  if (progressInPlace_) {
    err_ << '\r' << text << "\x1b[K" << std::flush;
    progressOpen_ = true;
  } else {
    err_ << text << '\n';
  }
}

void ConsoleUi::ShowError(std::string_view text, std::string_view caption) {
  EndProgressLine();
  err_ << cli_texts::kProgram << ": " << caption << ": " << text << '\n';
  errorShown_ = true;
}

void ConsoleUi::ShowNote(std::string_view text) {
  EndProgressLine();
  err_ << cli_texts::kProgram << ": " << text << '\n';
}

void ConsoleUi::ShowInformation(std::string_view text, std::string_view /*caption*/) { ShowNote(text); }

bool ConsoleUi::ConfirmReplace(std::string_view question) {
  ShowNote(question);
  if (!replaceAllowed_) riskRefused_ = true;
  return replaceAllowed_;
}

void ConsoleUi::HighlightRange(int /*first*/, int /*last*/, bool refresh) {
  // The code window's refresh recomputes the checksum; without a window the block still needs it.
  if (refresh) block_.UpdateChecksum();
}

}  // namespace tolvex
