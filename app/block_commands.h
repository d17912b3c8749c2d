// The Tasks menu's commands in the main window: the menu itself, the block commands' enabling
// from the Structure panel's selection (a greyed command says why), the panel's context menu,
// and running a command: its dialog (app/task_dialogs.h) or, for removing and moving a data
// block, the edit at once. Every change goes through CMainFrame::ApplyEdit; the status bar then
// shows what the edit did, and the panel's selection follows a moved or added block.
#pragma once

#include <QString>

#include <vector>

#include "app/command_table.h"
#include "app/task_dialogs.h"

class QMenu;

namespace tolvex {

class CMainFrame;

// Every command of the Tasks menu, in menu order; 0 stands for a separator.
const std::vector<int>& TaskMenuLayout();
bool IsTaskCommand(CommandId id);

struct CommandState {
  CommandId id;
  bool enabled;
  QString whyNot;
};
// Whether each Tasks command can run now, and why not.
std::vector<CommandState> TaskCommandStates(CMainFrame& frame);

// The whole EDID and the Structure panel's selection, as a dialog starts from.
TaskContext CurrentTaskContext(CMainFrame& frame);

void RunTaskCommand(CMainFrame& frame, CommandId id);

// The Structure panel's context menu of the block commands, and the enabling that follows the
// panel's selection and the EDID's undo and redo.
void InstallBlockCommands(CMainFrame& frame);

}  // namespace tolvex
