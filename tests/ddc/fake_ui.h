// Records what the transport shows, in order, so tests can check texts, captions and cursors.
#pragma once

#include <string>
#include <vector>

#include "ddc/ddc_ui.h"
#include "model/edid_block.h"

namespace tolvex::test {

class FakeUi final : public ProbeUi, public TransferUi, public EdidDocumentUi {
 public:
  explicit FakeUi(EdidBlock* block = nullptr) : block_(block) {}

  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void SetStatusText(std::string_view text) override { statusTexts.emplace_back(text); }
  void ShowError(std::string_view text, std::string_view caption) override {
    errors.push_back({std::string(text), std::string(caption)});
  }
  void SetWaitCursor(bool wait) override {
    waitCursor = wait;
    events.push_back(wait ? "wait" : "arrow");
  }
  void ShowNote(std::string_view text) override { notes.emplace_back(text); }
  void ShowInformation(std::string_view text, std::string_view caption) override {
    notes.push_back(std::string(caption) + ": " + std::string(text));
  }
  // Another monitor's EDID is replaced as the test says (yes unless it says otherwise).
  bool ConfirmReplace(std::string_view question) override {
    replaceQuestions.emplace_back(question);
    return replaceAnswer;
  }
  void ShowCodeWindow() override { events.push_back("show code window"); }
  void HighlightRange(int first, int last, bool refresh) override {
    events.push_back("highlight " + std::to_string(first) + "-" + std::to_string(last) + (refresh ? " refresh" : ""));
    if (refresh && block_) block_->UpdateChecksum();  // what the code window's refresh does
  }
  void ClearHighlight() override { events.push_back("clear highlight"); }
  void ReplaceDocument(const std::string& reportText) override {
    events.push_back("replace document");
    report = reportText;
  }

  struct Error {
    std::string text;
    std::string caption;
  };
  std::vector<std::string> messages;
  std::vector<std::string> statusTexts;
  std::vector<std::string> notes;
  std::vector<Error> errors;
  std::vector<std::string> events;
  std::vector<std::string> replaceQuestions;
  bool replaceAnswer = true;
  bool waitCursor = false;
  std::string report;

 private:
  EdidBlock* block_;
};

}  // namespace tolvex::test
