// What the wizard's pages share through the sheet: the structure version (high nibble version,
// low nibble revision, 0x10-0x13; 0 while not yet known).
#pragma once

#include <cstdint>

namespace tolvex {

class WizardState {
 public:
  virtual ~WizardState() = default;
  virtual uint8_t StructureVersion() const = 0;
  virtual void SetStructureVersion(uint8_t version) = 0;
};

}  // namespace tolvex
