// The transfer settings that survive between runs, in the per-user settings store under
// "Marvane/Tolvex", group "Settings". Errors of the store are silent both ways.
#pragma once

#include <QString>

#include "ddc/edid_transfer.h"

namespace tolvex {

// Values that are missing or unreadable leave their member as it was. The backup folder is only
// read: it is set by editing the store (Backup_Folder), and TOLVEX_BACKUP_DIR still comes first.
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

// The kernel I2C bus chosen last, by its connector's name (or its adapter's, where no connector
// uses it); empty when the channel discovery finds was chosen.
std::string LoadChannelChoice();
void SaveChannelChoice(const std::string& key);

}  // namespace tolvex
