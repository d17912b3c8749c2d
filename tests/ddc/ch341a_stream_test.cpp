// The CH341A channel's command streams, packet by packet, against the simulated programmer and
// its EEPROM: what a block read, a page write and the acknowledge polling after it put on the
// USB pipe, and what comes back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "ddc/i2c_operations.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/usb/ch341a_bus.h"
#include "ddc/usb/usb_programmers.h"

namespace tolvex {
namespace {

using Bytes = std::vector<uint8_t>;

// The pipe of the simulated programmer, with every packet and every reply kept.
class RecordingPipe final : public UsbBulkPipe {
 public:
  explicit RecordingPipe(std::unique_ptr<UsbBulkPipe> pipe) : pipe_(std::move(pipe)) {}
  int BulkOut(std::span<const uint8_t> bytes, uint32_t timeoutMs) override {
    out.emplace_back(bytes.begin(), bytes.end());
    return pipe_->BulkOut(bytes, timeoutMs);
  }
  int BulkIn(std::span<uint8_t> buffer, uint32_t timeoutMs) override {
    const int got = pipe_->BulkIn(buffer, timeoutMs);
    in.emplace_back(buffer.begin(), buffer.begin() + std::max(got, 0));
    return got;
  }
  std::vector<Bytes> out;
  std::vector<Bytes> in;

 private:
  std::unique_ptr<UsbBulkPipe> pipe_;
};

const Bytes kPage = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
// START, 0x06 (nobody may acknowledge it: a data line held low would), then the transaction.
const Bytes kIdleCheck = {0xAA, 0x74, 0x81, 0x06};

Bytes Join(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

struct StreamCase {
  const char* name;
  // What runs on the channel once the programmer is set up; the packets of `before` are not checked.
  std::function<void(CCh341aBus&)> before;
  std::function<void(CCh341aBus&)> run;
  std::vector<Bytes> packets;
  // Bytes of each reply, in order.
  std::vector<size_t> replies;
};

TEST(Ch341aStream, ReadPageWriteAndAcknowledgePolling) {
  const auto readBlock = [](CCh341aBus& bus) {
    uint8_t block[128];
    ASSERT_EQ(EepromTransfer(bus, 0xA1, 0x00, 128, block), 0);
    EXPECT_EQ(Bytes(block, block + 8), kPage);  // the simulated monitor's EDID header
  };
  const auto writePage = [](CCh341aBus& bus) {
    Bytes page = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(EepromTransfer(bus, 0xA0, 0x10, 8, page.data()), 0);
  };
  Bytes pageWrite = Join(kIdleCheck, {0x74, 0x81, 0xA0, 0x81, 0x10});
  for (uint8_t b = 1; b <= 8; ++b) pageWrite = Join(pageWrite, {0x81, b});
  const Bytes poll = Join(kIdleCheck, {0x74, 0x81, 0xA0, 0x75, 0x00});

  const StreamCase cases[] = {
      {"block read: word address, repeated START, 28 + 32 + 32 + 32 + 3 bytes acknowledged, the last not",
       {},
       readBlock,
       {Join(kIdleCheck, {0x74, 0x81, 0xA0, 0x81, 0x00, 0x74, 0x81, 0xA1, 0xDC, 0x00}),
        {0xAA, 0xE0, 0x00},
        {0xAA, 0xE0, 0x00},
        {0xAA, 0xE0, 0x00},
        {0xAA, 0xC3, 0xC0, 0x75, 0x00}},
       {32, 32, 32, 32, 4}},
      {"page write: every byte an OUT of one, each answering its status",
       {},
       writePage,
       {Join(pageWrite, {0x75, 0x00})},
       {11}},
      // The write cycle takes 5 ms and each poll one USB frame: five refusals, then the acknowledge.
      {"acknowledge polling after the page write",
       writePage,
       [](CCh341aBus& bus) { ASSERT_TRUE(bus.AwaitWriteCycle(0xA0).Ok()); },
       {poll, poll, poll, poll, poll, poll},
       {2, 2, 2, 2, 2, 2}},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto hw = sim::MakeCh341aHardware();
    std::unique_ptr<UsbBulkPipe> pipe;
    ASSERT_EQ(hw->usb.Open(sim::kSimCh341a, ch341a::kEndpoints, pipe), 0);
    auto recording = std::make_unique<RecordingPipe>(std::move(pipe));
    RecordingPipe& seen = *recording;
    CCh341aBus bus(std::move(recording), hw->clock, Ch341aLabel(sim::kSimCh341a), false);
    if (c.before) c.before(bus);
    seen.out.clear();
    seen.in.clear();
    c.run(bus);
    EXPECT_EQ(seen.out, c.packets);
    std::vector<size_t> replies;
    for (const Bytes& reply : seen.in) replies.push_back(reply.size());
    EXPECT_EQ(replies, c.replies);
    // Nobody took 0x06; the busy EEPROM refused every poll but the last.
    EXPECT_EQ(seen.in.front().front(), ch341a::kRefused);
    if (c.packets.front() == poll) {
      for (size_t i = 0; i < seen.in.size(); ++i) {
        const bool last = i + 1 == seen.in.size();
        EXPECT_EQ(seen.in[i], (Bytes{ch341a::kRefused, static_cast<uint8_t>(last ? 0x00 : ch341a::kRefused)})) << i;
      }
    }
    EXPECT_EQ(hw->usb.First()->ProtocolErrors(), 0u);
    EXPECT_EQ(bus.RoundTrips(), seen.out.size() + (c.before ? 1u : 0u));
  }
}

// Opening names the programmer and what to do; nothing is opened by a name that fits none or several.
TEST(Ch341aOpen, EachRefusalSaysWhyAndWhatToDo) {
  const struct {
    const char* name;
    std::function<void(sim::SimHardware&, std::unique_ptr<UsbBulkPipe>&)> setUp;
    const char* expected;  // the start of the message
  } cases[] = {
      {"ch341a", [](sim::SimHardware& hw, auto&) { hw.usb.DenyAccess(sim::kSimCh341a); },
       "CH341A USB programmer (bus 001 device 005): permission denied. Install the program's udev rule"},
      {"ch341a", [](sim::SimHardware& hw, auto&) { hw.usb.AddCh341a({2, 9}, nullptr); },
       "2 CH341A USB programmers are plugged in: name one with --bus (ch341a:1.5, ch341a:2.9)"},
      {"ch341a:1.5", [](sim::SimHardware& hw, std::unique_ptr<UsbBulkPipe>& held) {
         hw.usb.Open(sim::kSimCh341a, ch341a::kEndpoints, held);  // another program holds it
       },
       "CH341A USB programmer (bus 001 device 005): another program holds the programmer"},
  };
  for (const auto& c : cases) {
    auto hw = sim::MakeCh341aHardware();
    std::unique_ptr<UsbBulkPipe> held;
    c.setUp(*hw, held);
    std::string error;
    EXPECT_FALSE(OpenUsbProgrammer(&hw->usb, hw->clock, c.name, false, error));
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << error;
    EXPECT_EQ(hw->usb.First()->BulkOuts(), 0u);
  }
}

}  // namespace
}  // namespace tolvex
