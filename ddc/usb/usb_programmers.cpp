#include "ddc/usb/usb_programmers.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "ddc/format_text.h"
#include "ddc/usb/usb_texts.h"

namespace tolvex {

namespace {

// "B.D" as a bus and a device number (1 to 255 each); nothing otherwise.
std::optional<UsbDeviceId> ParseBusDevice(std::string_view text) {
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const auto number = [](std::string_view part) -> std::optional<uint8_t> {
    unsigned value = 0;
    const auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || status != std::errc() || end != part.data() + part.size() || value < 1 || value > 255) {
      return std::nullopt;
    }
    return static_cast<uint8_t>(value);
  };
  const std::optional<uint8_t> bus = number(text.substr(0, dot));
  const std::optional<uint8_t> device = number(text.substr(dot + 1));
  if (!bus || !device) return std::nullopt;
  return UsbDeviceId{*bus, *device};
}

// What follows "ch341a:", or nothing when the text does not start so.
std::optional<std::string_view> AfterPrefix(std::string_view text) {
  const std::string_view prefix = texts::kCh341aName;
  if (text.substr(0, prefix.size()) != prefix || text.size() == prefix.size() || text[prefix.size()] != ':') {
    return std::nullopt;
  }
  return text.substr(prefix.size() + 1);
}

std::string NameList(const std::vector<UsbProgrammer>& programmers) {
  std::string list;
  for (const UsbProgrammer& programmer : programmers) list += (list.empty() ? "" : ", ") + programmer.Name();
  return list;
}

}  // namespace

std::string UsbProgrammer::Name() const { return FormatText(texts::kCh341aNameAt, unsigned{id.bus}, unsigned{id.device}); }

std::vector<UsbProgrammer> FindUsbProgrammers(UsbHost* host) {
  std::vector<UsbProgrammer> found;
  if (!host) return found;
  for (const UsbDeviceId& id : host->Find(ch341a::kVendor, ch341a::kProduct)) found.push_back({id});
  std::sort(found.begin(), found.end(), [](const UsbProgrammer& a, const UsbProgrammer& b) {
    return a.id.bus != b.id.bus ? a.id.bus < b.id.bus : a.id.device < b.id.device;
  });
  return found;
}

bool NamesUsbProgrammer(std::string_view text) {
  if (text == texts::kCh341aName) return true;
  const std::optional<std::string_view> at = AfterPrefix(text);
  return at && ParseBusDevice(*at);
}

std::unique_ptr<CCh341aBus> OpenUsbProgrammer(UsbHost* host, Clock& clock, std::string_view name, bool force,
                                              std::string& error) {
  const std::vector<UsbProgrammer> found = FindUsbProgrammers(host);
  std::optional<UsbDeviceId> id;
  if (const std::optional<std::string_view> at = AfterPrefix(name)) {
    id = ParseBusDevice(*at);
    const bool present = id && std::any_of(found.begin(), found.end(), [&](const UsbProgrammer& p) { return p.id == *id; });
    if (!present) {
      error = FormatText(texts::kNoCh341aAt, std::string(name).c_str());
      return nullptr;
    }
  } else if (found.empty()) {
    error = texts::kNoCh341a;
    return nullptr;
  } else if (found.size() > 1) {
    error = FormatText(texts::kSeveralCh341a, static_cast<int>(found.size()), NameList(found).c_str());
    return nullptr;
  } else {
    id = found.front().id;
  }
  return CCh341aBus::Open(*host, clock, *id, force, error);
}

}  // namespace tolvex
