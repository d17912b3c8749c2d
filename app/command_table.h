// Every user command of the main window: its id, menu label (with the shortcut shown after a
// tab), whether it has a toolbar button, and its status-bar prompt and tool tip ("prompt\ntip").
#pragma once

#include <span>

namespace tolvex {

enum CommandId : int {
  kCmdFileNew = 57600,
  kCmdFileOpen = 57601,
  kCmdFileSave = 57603,
  kCmdFileSaveAs = 57604,
  kCmdFileExportBinary = 32891,
  kCmdFileCompare = 32894,
  kCmdFilePrintSetup = 57606,
  kCmdFilePrint = 57607,
  kCmdFilePrintPreview = 57609,
  kCmdFileMru = 57616,
  kCmdAppExit = 57665,
  kCmdAppAbout = 57664,
  kCmdEdidCode = 32771,
  kCmdChannelBlackBox = 32772,
  kCmdChannelServiceKit = 32773,
  kCmdChannelS3 = 32774,
  kCmdEdidRead = 32775,
  kCmdEdidWrite = 32776,
  kCmdConfigSetup = 32784,
  kCmdProductionWrite = 32890,
  kCmdReadFromDisplay = 32785,
  kCmdApplyToConnector = 32892,
  kCmdInstallFirmware = 32893,
  kCmdDviDigital = 32886,
  kCmdDviAnalog = 32888,
  kCmdDviAuto = 32889,
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  // The Tasks menu (app/task_texts.h): the task edits, then the block commands.
  kCmdTaskVrr = 32900,
  kCmdTaskRgbOnly = 32901,
  kCmdTaskMaxTmds = 32902,
  kCmdTaskAddVic = 32903,
  kCmdTaskRemoveVic = 32904,
  kCmdTaskHdrLuminance = 32905,
  kCmdTaskAddTiming = 32906,
  kCmdAddDataBlock = 32907,
  kCmdRemoveDataBlock = 32908,
  kCmdMoveDataBlockUp = 32909,
  kCmdMoveDataBlockDown = 32910,
  kCmdAddExtensionBlock = 32911,
  kCmdRemoveExtensionBlock = 32912,
};

struct Command {
  CommandId id;
  const char* label;   // nullptr: toolbar only
  bool onToolbar;
  const char* prompt;  // status-bar prompt, then "\n" and the tool tip when there is one
};

std::span<const Command> Commands();
const Command& FindCommand(CommandId id);

// The toolbar, left to right; 0 stands for a separator.
std::span<const int> ToolbarLayout();

// The number of recent files the File menu lists.
inline constexpr int kRecentFileCount = 4;

}  // namespace tolvex
