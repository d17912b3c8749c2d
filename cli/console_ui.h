// tolvex-cli's side of the transfer commands: progress and messages on stderr, and a document
// that is just the block and the report text a successful read leaves.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "ddc/ddc_ui.h"
#include "model/edid_block.h"

namespace tolvex {

class ConsoleUi final : public ProbeUi, public TransferUi, public EdidDocumentUi {
 public:
  // progressInPlace: progress texts overwrite each other on one terminal line.
  ConsoleUi(EdidBlock& block, std::ostream& err, bool progressInPlace)
      : block_(block), err_(err), progressInPlace_(progressInPlace) {}

  void ShowMessage(std::string_view text) override;
  void SetStatusText(std::string_view text) override;
  void ShowError(std::string_view text, std::string_view caption) override;
  void SetWaitCursor(bool) override {}
  // One line of its own, named like the program's other messages.
  void ShowNote(std::string_view text) override;
  void ShowInformation(std::string_view text, std::string_view caption) override;
  void ShowCodeWindow() override {}
  void HighlightRange(int first, int last, bool refresh) override;
  void ClearHighlight() override {}
  void ReplaceDocument(const std::string& reportText) override { report_ = reportText; }
  // Nobody is asked on the command line: the risk is refused, and --force is what takes it.
  bool ConfirmRisk(std::string_view) override {
    riskRefused_ = true;
    return false;
  }
  // The question goes to stderr; --force answers it yes, and without it the write does not go.
  bool ConfirmReplace(std::string_view question) override;
  void SetReplaceAllowed(bool allowed) { replaceAllowed_ = allowed; }
  bool RiskRefused() const { return riskRefused_; }

  bool ErrorShown() const { return errorShown_; }
  const std::optional<std::string>& Report() const { return report_; }

 private:
  void EndProgressLine();

  EdidBlock& block_;
  std::ostream& err_;
  bool progressInPlace_;
  bool progressOpen_ = false;
  bool errorShown_ = false;
  bool riskRefused_ = false;
  bool replaceAllowed_ = false;
  std::optional<std::string> report_;
};

}  // namespace tolvex
