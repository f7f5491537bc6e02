#pragma once
#include <string>

namespace tavrin {

// Uploads an image of `type` ("code", "sound", "LDS") to the robot over g_robotComm.
// true when the robot accepted it (or, without handshake, once it was sent); false on NAK.
bool UploadFile(const std::string& fileName, const std::string& type, bool reboot);

}  // namespace tavrin
