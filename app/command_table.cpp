#include "app/command_table.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "app/task_texts.h"
#include "ddc/ddc_texts.h"

namespace tolvex {

namespace {

constexpr std::array kCommands = {
    Command{kCmdFileNew, "&New\tCtrl+N", true, "Create a new document\nNew"},
    Command{kCmdFileOpen, "&Open...\tCtrl+O", true, "Open an existing document\nOpen"},
    Command{kCmdFileSave, "&Save\tCtrl+S", true, "Save the active document\nSave"},
    Command{kCmdFileSaveAs, "Save &As...", false, "Save the active document with a new name\nSave As"},
    Command{kCmdFileExportBinary, "Export &Binary...", false,
            "Write the whole EDID as raw binary, for the kernel's EDID firmware\nExport Binary"},
    Command{kCmdFileCompare, "Co&mpare with...", false,
            "Show the fields and bytes in which another EDID file differs from this document\nCompare with"},
    Command{kCmdFilePrint, "&Print...\tCtrl+P", true, "Print the active document\nPrint"},
    Command{kCmdFilePrintPreview, "Print Pre&view", false, "Display full pages\nPrint Preview"},
    Command{kCmdFilePrintSetup, "P&rint Setup...", false, "Change the printer and printing options\nPrint Setup"},
    Command{kCmdFileMru, "Recent File", false, "Open this document"},
    Command{kCmdAppExit, "E&xit", false, "Quit the application; prompts to save documents\nExit"},
    Command{kCmdEdidRead, "EDID &Read\tCtrl+R", true, "Read EDID from monitor\nRead EDID"},
    Command{kCmdEdidWrite, "EDID &Write\tCtrl+W", true, "Write EDID to monitor\nWrite EDID"},
    Command{kCmdProductionWrite, "&Production Write...", false,
            "Program monitor after monitor, each with its own serial number, and log them\nProduction Write"},
    Command{kCmdReadFromDisplay, "Read from connected &display", false,
            "Read the EDID the kernel holds for a connected display\nRead from connected display"},
    Command{kCmdApplyToConnector, "Apply to Co&nnector...", false,
            "Have the kernel use this EDID for a connector until the next boot, or its monitor's own again "
            "(asks for the administrator password)\nApply to Connector"},
    Command{kCmdInstallFirmware, "Install as &Firmware...", false,
            "Install this EDID as the firmware file the kernel loads for a connector at boot (asks for the "
            "administrator password)\nInstall as Firmware"},
    Command{kCmdChannelBlackBox, texts::kChannelNames[0], true, "Setup I2C RW channel = Black Box"},
    Command{kCmdChannelServiceKit, texts::kChannelNames[1], true, "Setup I2C RW channel = Service Kit"},
    Command{kCmdChannelS3, texts::kChannelNames[2], true, "Setup I2C RW channel = S3 ViRGE card"},
    Command{kCmdConfigSetup, "Config &Setup...\tCtrl+S", true, "channels configuration setup...\nCONFIG"},
    Command{kCmdDviDigital, nullptr, true, "Select the DVI-I Digital DDC EEPROM\nDVI-D"},
    Command{kCmdDviAnalog, nullptr, true, "Select the DVI-I Analog DDC EEPROM\nDVI-A"},
    Command{kCmdDviAuto, nullptr, true, "Set the DVI-I DDC EEPROM Auto Switch\nDVI-I Auto"},
    Command{kCmdViewToolbar, "&Toolbar", false, "Show or hide the toolbar\nToggle ToolBar"},
    Command{kCmdViewStatusBar, "&Status Bar", false, "Show or hide the status bar\nToggle StatusBar"},
    Command{kCmdEdidCode, "EDID code", true, "Show or hide EDID codes\nEDID codes"},
    Command{kCmdAppAbout, "&About Tolvex...", false,
            "Display program information, version number and copyright\nAbout"},
    Command{kCmdTaskVrr, texts::kVrrLabel, false, texts::kVrrPrompt},
    Command{kCmdTaskRgbOnly, texts::kRgbOnlyLabel, false, texts::kRgbOnlyPrompt},
    Command{kCmdTaskMaxTmds, texts::kMaxTmdsLabel, false, texts::kMaxTmdsPrompt},
    Command{kCmdTaskAddVic, texts::kAddVicLabel, false, texts::kAddVicPrompt},
    Command{kCmdTaskRemoveVic, texts::kRemoveVicLabel, false, texts::kRemoveVicPrompt},
    Command{kCmdTaskHdrLuminance, texts::kHdrLabel, false, texts::kHdrPrompt},
    Command{kCmdTaskAddTiming, texts::kAddTimingLabel, false, texts::kAddTimingPrompt},
    Command{kCmdAddDataBlock, texts::kAddDataBlockLabel, false, texts::kAddDataBlockPrompt},
    Command{kCmdRemoveDataBlock, texts::kRemoveDataBlockLabel, false, texts::kRemoveDataBlockPrompt},
    Command{kCmdMoveDataBlockUp, texts::kMoveUpLabel, false, texts::kMoveUpPrompt},
    Command{kCmdMoveDataBlockDown, texts::kMoveDownLabel, false, texts::kMoveDownPrompt},
    Command{kCmdAddExtensionBlock, texts::kAddExtensionLabel, false, texts::kAddExtensionPrompt},
    Command{kCmdRemoveExtensionBlock, texts::kRemoveExtensionLabel, false, texts::kRemoveExtensionPrompt},
};

constexpr std::array kToolbar = {
    int{kCmdFileNew}, int{kCmdFileOpen}, int{kCmdFileSave}, 0,
    int{kCmdEdidRead}, int{kCmdEdidWrite}, 0,
    int{kCmdEdidCode}, int{kCmdConfigSetup}, 0,
    int{kCmdChannelBlackBox}, 0,
    int{kCmdChannelServiceKit}, int{kCmdChannelS3}, 0,
    int{kCmdFilePrint}, 0,
    int{kCmdDviDigital}, int{kCmdDviAnalog}, int{kCmdDviAuto},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command& FindCommand(CommandId id) {
  const auto* found = std::find_if(kCommands.begin(), kCommands.end(), [id](const Command& c) { return c.id == id; });
  if (found == kCommands.end()) std::abort();  // every id in the enum has a row
  return *found;
}

std::span<const int> ToolbarLayout() { return kToolbar; }

}  // namespace tolvex
