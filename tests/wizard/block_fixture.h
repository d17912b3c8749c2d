// What the descriptor editor tests share: a block with a pinned date, the real code window over
// it, and byte comparisons that name the bytes an action changed.
#pragma once

#include <QLineEdit>
#include <QList>
#include <QTest>

#include <memory>

#include "app/edid_code_dlg.h"
#include "model/edid_block.h"
#include "report/code_dump.h"
#include "wizard/wizard_state.h"

namespace tolvex::testing {

class FakeWizardState : public WizardState {
 public:
  uint8_t StructureVersion() const override { return version; }
  void SetStructureVersion(uint8_t v) override { version = v; }
  uint8_t version = 0x13;
};

struct BlockFixture {
  BlockFixture() : block(std::make_unique<EdidBlock>([] { return CalendarDate{2024, 3, 1}; })) {
    code = std::make_unique<CEdidCodeDlg>(*block, nullptr);
    code->Initialise();
  }
  void SetVersion(uint8_t v) {
    block->SetVersion(static_cast<uint8_t>(v >> 4), static_cast<uint8_t>(v & 0x0F));
    block->UpdateChecksum();
    code->Initialise();
  }
  // Writes raw bytes into the block, as a loaded file would, and renders the block afresh.
  void Put(int offset, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) block->Bytes()[static_cast<size_t>(offset++)] = b;
    block->UpdateChecksum();
    code->Initialise();
  }
  // The offsets (0-126) whose byte differs from `before`; the checksum is checked apart.
  QList<int> ChangedSince(const EdidBytes& before) const {
    QList<int> changed;
    for (int i = 0; i < 127; ++i)
      if (block->Bytes()[static_cast<size_t>(i)] != before[static_cast<size_t>(i)]) changed << i;
    return changed;
  }
  bool ChecksumAndDumpCurrent() const {
    return ComputeChecksum(block->Bytes()) == block->GetChecksum() &&
           code->Text() == QString::fromLatin1(FormatCodeDump(block->Bytes()));
  }
  bool Selects(int first, int last) const {
    return code->SelectionStart() == CodeHexPosition(first) && code->SelectionEnd() == CodeHexPosition(last) + 2;
  }
  uint8_t At(int offset) const { return block->Bytes()[static_cast<size_t>(offset)]; }

  std::unique_ptr<EdidBlock> block;
  std::unique_ptr<CEdidCodeDlg> code;
};

inline void Retype(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

inline QList<int> Range(int first, int last) {
  QList<int> r;
  for (int i = first; i <= last; ++i) r << i;
  return r;
}

}  // namespace tolvex::testing
