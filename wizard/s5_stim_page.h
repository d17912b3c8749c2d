// Step 5: the eight standard timings of bytes 38-53 as a list with Add, Replace and Remove.
// Entry i of the list is slot i; the list ends at the first unused slot (01 01).
#pragma once

#include <cstdint>
#include <optional>

#include "wizard/edid_wizard_page.h"
#include "wizard/std_timing_text.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tolvex {

class CS5Stim : public CEdidWizardPage {
  Q_OBJECT

 public:
  CS5Stim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent = nullptr);

  // A list line: width, vertical size, refresh rate and aspect name under `structureVersion`.
  static QString TimingLine(unsigned width, unsigned aspect, unsigned refresh, uint8_t structureVersion);

 protected:
  void OnActivate(bool firstTime) override;
  bool ReadFields() override { return ReadTiming().has_value(); }

 private:
  using Timing = StdTimingEntry;

  void BuildForm();
  void Fill();
  void UpdateAddButton();
  void OnSelectionChanged();
  void OnAdd();
  void OnReplace();
  void OnRemove();

  // Width and refresh must be integers; with no aspect chosen yet, code 0 is taken and shown.
  std::optional<Timing> ReadTiming();
  // Writes slot p and lists what the slot now holds at position p, selected.
  void StoreAt(int p, const Timing& timing);
  void WriteSlot(int slot, const Timing& timing);
  Timing ReadSlot(int slot) const;
  void AppendLine(int position, const Timing& timing);
  int SelectedRow() const;
  // Changes the list without running the selection handler.
  template <typename Change>
  void QuietlyChangeList(Change change);

  QListWidget* list_;
  QLineEdit* widthEdit_;
  QComboBox* aspectCombo_;
  QLineEdit* refreshEdit_;
  QPushButton* addButton_;
  QPushButton* replaceButton_;
  QPushButton* removeButton_;
  // The aspect code as the page last read it from the form.
  int aspect_ = 0;
  bool listChanging_ = false;
};

}  // namespace tolvex
