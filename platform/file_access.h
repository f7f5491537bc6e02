#pragma once
// File system access with the sharing rules the library needs.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tavrin::platform {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// A file that closes itself on every way out.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

enum class StatOutcome { Ok, NotFound, InvalidParameter, OtherError };

// Size of the file at `path` from the 64-bit status call.
StatOutcome FileSize64(const std::string& path, std::int64_t& size);

// Opens a file for reading raw bytes while other programs may still read and write it.
std::FILE* OpenSharedForReading(const std::string& path);

// Opens a text file for appending that no other program may open while we hold it.
std::FILE* OpenExclusiveForAppend(const std::string& path);

// Opens a text file for reading.
std::FILE* OpenTextForReading(const std::string& path);

// Reads one line of at most `maxChars` characters, its line feed included, as fgets does; a
// longer line comes in pieces. A CR LF pair reads as one line feed, as in Windows text mode.
// false at the end of the file.
bool ReadTextLine(std::FILE* file, std::size_t maxChars, std::string& line);

// The system's reason for the last failed file call, without a line end.
std::string LastFileErrorText();

}  // namespace tavrin::platform
