// Raw port access without the privilege must neither crash nor hang, and must say why.
#include "ddc/raw_port_io.h"

#include <grp.h>
#include <cerrno>
#include <utility>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ddc/i2c_bus.h"
#include "ddc/sim/sim_clock.h"
#include "fake_ui.h"

namespace tolvex {
namespace {

// Exit codes of the child.
constexpr int kPassed = 0;
constexpr int kCouldNotDropPrivilege = 77;

int RunUnprivileged() {
  if (geteuid() == 0) {
    // Dropping to an ordinary user also drops every capability, CAP_SYS_RAWIO included.
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return kCouldNotDropPrivilege;
  }
  if (geteuid() == 0) return kCouldNotDropPrivilege;

  RawPortIo io;
  if (io.HasPortAccess() || io.HasMemoryAccess()) return 10;
  if (io.Failure().empty()) return 11;
  if (io.PortIn8(0x379) != 0xFF || io.MemRead8(kS3SerialPortAddress) != 0xFF) return 12;
  io.PortOut8(0x378, 0x00);  // dropped, not a fault
  io.PortOut16(0x3D4, 0x0140);
  io.MemWrite8(kS3SerialPortAddress, 0x10);

  sim::SimTime time;
  sim::SimClock clock(time);
  test::FakeUi ui;
  CI2cBus bus(io, clock, ui);
  if (bus.Channel() != kChannelNone) return 13;
  if (!ui.messages.empty()) return 14;  // no chip identification read from ports that answer 0xFF
  uint8_t byte = 0;
  if (bus.RawTransfer(0xA1, 1, &byte) != (kStatusNoAck | kStatusAddressNoAck)) return 15;
  return kPassed;
}

TEST(RawPortIo, WithoutPrivilegeNothingIsTouchedAndDiscoveryFindsNoChannel) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(RunUnprivileged());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child crashed with signal " << WTERMSIG(status);
  if (WEXITSTATUS(status) == kCouldNotDropPrivilege) GTEST_SKIP() << "cannot drop root privilege here";
  EXPECT_EQ(WEXITSTATUS(status), kPassed);
}

TEST(RawPortIo, OnlyAMissingPrivilegeSendsTheUserToRoot) {
  const std::string user = PortAccessFailure(EPERM, false, "");
  EXPECT_NE(user.find("run as root"), std::string::npos) << user;

  // Root refused (lockdown, a container without CAP_SYS_RAWIO) or a kernel without port access:
  // more privilege cannot help, the other routes can.
  for (const auto& [error, lockdown] : {std::pair{EPERM, "none [integrity] confidentiality"},
                                        std::pair{ENOSYS, ""}, std::pair{EPERM, "[none] integrity"}}) {
    const std::string text = PortAccessFailure(error, true, lockdown);
    EXPECT_EQ(text.find("root"), std::string::npos) << text;
    EXPECT_NE(text.find("ppdev"), std::string::npos) << text;
    EXPECT_NE(text.find("/dev/i2c-N"), std::string::npos) << text;
    EXPECT_EQ(text.find("lockdown") != std::string::npos, std::string(lockdown).find("[i") != std::string::npos)
        << text;
  }
}

}  // namespace
}  // namespace tolvex
