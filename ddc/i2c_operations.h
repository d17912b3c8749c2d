// The transfers of the EDID commands, written once over the message-level bus: the EEPROM-style
// transfer (word address, then data), the raw transfer of the factory memory and the DVI switch,
// and the two command protocols of the monitor controller. Each returns the bus status its
// messages show; none allocates for the sizes the commands use.
#pragma once

#include <cstdint>

#include "ddc/clock.h"
#include "ddc/i2c_message_bus.h"

namespace tolvex {

// A write when bit 0 of the device address is 0 (S, A AND 0xFE, W, bytes, P), a read when it is
// 1 (S, A AND 0xFE, W, Sr, A, bytes, P). The first address is retried while it is refused.
uint8_t EepromTransfer(I2cMessageBus& bus, uint8_t deviceAddress, uint8_t wordAddress, uint16_t count,
                       uint8_t* buffer);
// S, the address byte, the data bytes (written or read by bit 0 of the address), P.
uint8_t RawTransfer(I2cMessageBus& bus, uint8_t deviceAddress, uint16_t count, uint8_t* buffer);

// Monitor controller commands. Result: 0, or the status in the low byte and, where it applies,
// the frame byte that was not acknowledged in the high byte.
uint16_t AocWriteByte(I2cMessageBus& bus, uint8_t index, uint8_t data, int protocol);
uint16_t AocReadByte(I2cMessageBus& bus, Clock& clock, uint8_t index, uint8_t& data, int protocol);

}  // namespace tolvex
