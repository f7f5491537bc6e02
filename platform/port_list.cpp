#include "diagnostics/text_ops.h"
#include "platform/port_enumeration.h"

namespace tavrin::platform {

// The quotes make COM1 a different entry from COM10.
bool PortListHolds(const std::string& list, const std::string& name) {
  return ToUpper(list).find("'" + ToUpper(name) + "'") != std::string::npos;
}

}  // namespace tavrin::platform
