#include <windows.h>

#include <cstdio>

#include "diagnostics/text_ops.h"
#include "platform/port_enumeration.h"

namespace tavrin::platform {
namespace {

constexpr DWORD kNameSize = 260;

// Closes a registry key on every path out of a scope.
class OpenKey {
 public:
  OpenKey(HKEY parent, const char* path) {
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool ReadValue(HKEY key, const char* name, char (&data)[kNameSize]) {
  DWORD size = kNameSize;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  data[kNameSize - 1] = '\0';
  return true;
}

// The port of one device instance, if the instance is complete.
std::string InstancePortName(HKEY usbKey, const char* instance) {
  OpenKey instanceKey(usbKey, instance);
  if (!instanceKey) return std::string();
  char value[kNameSize] = {};
  // Only instances with a FriendlyName count; its text is not needed.
  if (!ReadValue(instanceKey.get(), "FriendlyName", value)) return std::string();
  OpenKey parameters(instanceKey.get(), "Device Parameters");
  if (!parameters) return std::string();
  char portName[kNameSize] = {};
  if (!ReadValue(parameters.get(), "PortName", portName)) return std::string();
  return portName;
}

}  // namespace

std::string ListSerialPorts() {
  OpenKey key(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
  if (!key) return std::string();
  std::string list;
  for (DWORD index = 0;; ++index) {
    char name[kNameSize];
    BYTE data[kNameSize];
    DWORD nameLength = kNameSize;
    DWORD dataLength = kNameSize;
    DWORD type = 0;
    if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, data, &dataLength) !=
        ERROR_SUCCESS) {
      break;
    }
    name[kNameSize - 1] = '\0';
    data[kNameSize - 1] = '\0';
    if (type == REG_SZ && dataLength > 0) {
      list += "'" + std::string(reinterpret_cast<const char*>(data)) + "'";
    }
  }
  return list;
}

std::string FindPortByUsbId(std::uint16_t vendor, std::uint16_t product, int usbInterface) {
  std::string ports = ListSerialPorts();
  if (ports.empty()) return std::string();
  char path[kNameSize];
  std::snprintf(path, sizeof path, "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_%04x&Pid_%04x",
                vendor, product);
  std::string keyPath = path;
  if (usbInterface != -1) {
    std::snprintf(path, sizeof path, "&MI_%02x", usbInterface);
    keyPath += path;
  }
  OpenKey usbKey(HKEY_LOCAL_MACHINE, keyPath.c_str());
  if (!usbKey) return std::string();
  for (DWORD index = 0;; ++index) {
    char instance[kNameSize];
    if (RegEnumKeyA(usbKey.get(), index, instance, kNameSize) != ERROR_SUCCESS) break;
    instance[kNameSize - 1] = '\0';
    std::string portName = ToUpper(InstancePortName(usbKey.get(), instance));
    // A remembered instance whose device is unplugged has no entry in the list.
    if (!portName.empty() && PortListHolds(ports, portName)) return portName;
  }
  return std::string();
}

}  // namespace tavrin::platform
