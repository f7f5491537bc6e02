#pragma once
// Option settings that outlive a call: a later call starts from what earlier calls left.

namespace tavrin {

struct DriverSettings {
  int robotPort = 12;
  bool handshakeEnabled = true;
  bool blastWithAck = false;
};

DriverSettings& TheDriverSettings();

}  // namespace tavrin
