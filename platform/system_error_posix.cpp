#include <cerrno>
#include <cstring>

#include "platform/system_error.h"

namespace tavrin::platform {

std::string SystemErrorText() {
  int code = errno;
  std::string text = std::strerror(code);
  // Serial devices are the only thing this library opens with system errors reported;
  // a permission failure there has one usual cure.
  if (code == EACCES || code == EPERM) {
    text +=
        " (the serial device is not accessible to this user: install the udev rule from "
        "packaging/udev, or add the user to the dialout group, then plug the robot in again)";
  }
  return text + "\n";
}

}  // namespace tavrin::platform
