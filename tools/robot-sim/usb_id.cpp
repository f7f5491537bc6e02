#include <cstdlib>
#include <stdexcept>

#include "robot_sim.h"

namespace robotsim {
namespace {

long ParseHex(const std::string& text, long max, const std::string& whole) {
  char* end = nullptr;
  const long value = text.empty() ? -1 : std::strtol(text.c_str(), &end, 16);
  if (text.empty() || *end != '\0' || value < 0 || value > max) {
    throw std::invalid_argument("bad USB identity '" + whole + "' (want VID:PID[:IFACE] in hex)");
  }
  return value;
}

}  // namespace

UsbId UsbId::Primary() { return UsbId{0x1209, 0x0001, -1}; }

UsbId UsbId::Secondary() { return UsbId{0x04E8, 0x6850, 0}; }

UsbId UsbId::Parse(const std::string& text) {
  if (text == "primary") return Primary();
  if (text == "secondary") return Secondary();
  const size_t first = text.find(':');
  if (first == std::string::npos) ParseHex("", 0, text);
  const size_t second = text.find(':', first + 1);
  UsbId id;
  id.vendor = static_cast<uint16_t>(ParseHex(text.substr(0, first), 0xFFFF, text));
  id.product =
      static_cast<uint16_t>(ParseHex(text.substr(first + 1, second - first - 1), 0xFFFF, text));
  id.iface = second == std::string::npos
                 ? -1
                 : static_cast<int>(ParseHex(text.substr(second + 1), 0xFF, text));
  return id;
}

}  // namespace robotsim
