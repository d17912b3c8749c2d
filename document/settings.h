// The transfer settings that survive between runs, in the per-user settings store under
// "Marvane/Tolvex", group "Settings". Errors of the store are silent both ways.
#pragma once

#include <QString>

#include "ddc/edid_transfer.h"

namespace tolvex {

// Values that are missing or unreadable leave their member as it was.
void LoadSettings(TransferSettings& settings);
// Software DDC only is never stored.
void SaveSettings(const TransferSettings& settings);

// The last choices of the "Production Write" dialog, beside the framework's own entries
// ("Marvane/tolvex3.01", group "Production").
struct ProductionChoices {
  QString counterFile;
  int serialField = 0;  // SerialField
  QString serialTemplate = QStringLiteral("{}");
  bool stampDate = false;
  QString logFile;
};
void LoadProductionChoices(ProductionChoices& choices);
void SaveProductionChoices(const ProductionChoices& choices);

}  // namespace tolvex
