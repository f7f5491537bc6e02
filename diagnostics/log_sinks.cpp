#include "diagnostics/log_sinks.h"

#include "diagnostics/log_stream.h"

namespace tavrin {

// Errors of the console and of file writes are ignored: logging never stops a run.
void ConsoleSink::Write(const std::string& text) { LogStream() << text; }
void ConsoleSink::Flush() { LogStream().flush(); }

FileSink::~FileSink() { std::fclose(file_); }
void FileSink::Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), file_); }
void FileSink::Flush() { std::fflush(file_); }

}  // namespace tavrin
