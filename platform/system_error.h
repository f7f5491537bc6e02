#pragma once
#include <string>

namespace tavrin::platform {

// The system's message for the calling thread's last error, ending with a line end.
// Call it directly after the failing system call, before anything can change the code.
std::string SystemErrorText();

}  // namespace tavrin::platform
