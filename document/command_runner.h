// Running another program and waiting for it: tolvex-cli under pkexec for the commands that
// need root. Tests put a fake behind the interface, which records the call and answers.
#pragma once

#include <QString>
#include <QStringList>

namespace tolvex {

struct CommandResult {
  bool started = true;  // false: the program could not be started (not found, not executable)
  int exitCode = 0;
  QString out;
  QString err;
};

class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  // Runs `program` (looked up in PATH) with `arguments` until it ends.
  virtual CommandResult Run(const QString& program, const QStringList& arguments) = 0;
};

// QProcess: no shell between, the arguments passed as they are.
class ProcessRunner final : public CommandRunner {
 public:
  CommandResult Run(const QString& program, const QStringList& arguments) override;
};

}  // namespace tolvex
