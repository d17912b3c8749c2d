// The simulated production line under the real bus master: a unit stays while the master works
// with it, goes once the master has left it alone, and the next one comes fresh.
#include "ddc/sim/sim_production_line.h"

#include <gtest/gtest.h>

#include "ddc/i2c_bus.h"
#include "ddc/sim/sim_hardware.h"
#include "fake_ui.h"

namespace tolvex::sim {
namespace {

class SimProductionLineTest : public ::testing::Test {
 protected:
  // One address-only attempt, as a presence poll makes it.
  bool Answers() {
    bus_.FreeBus();
    uint8_t status = bus_.Start();
    if (status == 0) status = bus_.WriteByte(0xA0);
    bus_.Stop();
    return status == 0;
  }
  uint8_t ReadByte0() {
    uint8_t byte = 0;
    EXPECT_EQ(bus_.Transfer(0xA1, 0x00, 1, &byte), 0);
    return byte;
  }

  std::unique_ptr<SimHardware> hw_ = MakeBlackBoxHardware();
  SimProductionLine line_{hw_->machine.Monitor(), hw_->time, 3};
  test::FakeUi ui_;
  CI2cBus bus_{hw_->machine, hw_->clock, ui_};
};

TEST_F(SimProductionLineTest, UnitsComeAndGoAsTheMasterFinishesWithThem) {
  EXPECT_EQ(line_.UnitsToCome(), 2);
  hw_->clock.SleepMs(5000);
  EXPECT_TRUE(Answers()) << "an untouched unit waits for the programmer however long";

  uint8_t changed = 0x5A;
  bus_.SetWriteEnable(true);
  ASSERT_EQ(bus_.Transfer(0xA0, 0x00, 1, &changed), 0);
  bus_.SetWriteEnable(false);
  hw_->clock.SleepMs(20);
  EXPECT_EQ(ReadByte0(), 0x5A);

  hw_->clock.SleepMs(1900);
  EXPECT_TRUE(Answers()) << "probes alone do not keep it, but two seconds have not passed";
  hw_->clock.SleepMs(200);
  EXPECT_FALSE(Answers()) << "taken away";
  hw_->clock.SleepMs(500);
  EXPECT_FALSE(Answers());
  hw_->clock.SleepMs(600);
  EXPECT_TRUE(Answers()) << "the next one, a second later";
  EXPECT_EQ(line_.UnitsPlugged(), 2);
  EXPECT_EQ(ReadByte0(), 0x00) << "with the EEPROM the first unit came with";

  hw_->clock.SleepMs(2100);
  EXPECT_FALSE(Answers());
  hw_->clock.SleepMs(1100);
  EXPECT_TRUE(Answers());
  ReadByte0();
  EXPECT_EQ(line_.UnitsToCome(), 0);
  hw_->clock.SleepMs(2100);
  EXPECT_FALSE(Answers());
  hw_->clock.SleepMs(10000);
  EXPECT_FALSE(Answers()) << "no fourth unit";
}

}  // namespace
}  // namespace tolvex::sim
