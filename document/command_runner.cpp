#include "document/command_runner.h"

#include <QProcess>
#include <QStandardPaths>

namespace tolvex {

CommandResult ProcessRunner::Run(const QString& program, const QStringList& arguments) {
  CommandResult result;
  // QProcess would name a missing program only as a failure to start; found first, it is told
  // apart from a program that started and failed.
  const QString found = QStandardPaths::findExecutable(program);
  if (found.isEmpty()) {
    result.started = false;
    return result;
  }
  QProcess process;
  process.start(found, arguments);
  // The password dialog waits on the user: no time limit.
  if (!process.waitForStarted(-1)) {
    result.started = false;
    return result;
  }
  process.closeWriteChannel();
  process.waitForFinished(-1);
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
  result.err = QString::fromLocal8Bit(process.readAllStandardError());
  return result;
}

}  // namespace tolvex
