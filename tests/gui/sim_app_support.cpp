#include "gui/sim_app_support.h"

#include <QFile>
#include <QSettings>

#include "gui/modal_support.h"

namespace tolvex::testing {

namespace {

class BorrowedSimHardware final : public tolvex::Hardware {
 public:
  explicit BorrowedSimHardware(std::unique_ptr<sim::SimHardware> hardware) : hardware_(std::move(hardware)) {}
  PortIo& Io() override { return hardware_->machine; }
  Clock& GetClock() override { return hardware_->clock; }
  bool HasPortAccess() const override { return true; }
  std::string AccessNote() const override { return {}; }
  bool Persist(std::string&) override { return true; }
  KernelFiles& Files() override { return hardware_->files; }
  KernelDevices& Devices() override { return hardware_->kernel; }
  int SimulatedBus() const override { return hardware_->namedBus; }
  UsbHost* Usb() override { return &hardware_->usb; }
  sim::SimHardware& Sim() { return *hardware_; }

 private:
  std::unique_ptr<sim::SimHardware> hardware_;
};

}  // namespace

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

void UseTemporarySettings(const QTemporaryDir& folder) {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

SimulatedProgram::SimulatedProgram(std::unique_ptr<sim::SimHardware> hardware, const QString& file) {
  auto borrowed = std::make_unique<BorrowedSimHardware>(std::move(hardware));
  hardware_ = &borrowed->Sim();
  StartOptions options;
  options.splash = false;
  options.file = file;
  ModalAnswerer answers;
  started_ = app_.Start(std::move(borrowed), options);
  startupMessages_ = answers.Texts();
}

}  // namespace tolvex::testing
