#pragma once
// Loading the Tavrin library at run time, for the host program.
#include <string>

namespace tavrin::platform {

// The folder of the running program, without a trailing separator.
std::string ProgramFolder();
// The library's file name next to a host: Tavrin.dll or libTavrin.so.
const char* LibraryFileName();
// Loads `path` and finds `symbol`; on failure returns null and fills `error`.
void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error);

}  // namespace tavrin::platform
