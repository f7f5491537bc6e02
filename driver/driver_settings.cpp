#include "driver/driver_settings.h"

namespace tavrin {

DriverSettings& TheDriverSettings() {
  static DriverSettings settings;
  return settings;
}

}  // namespace tavrin
