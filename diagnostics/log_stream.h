#pragma once
// The library's standard output. Report lines go here straight, log lines via the writer.
#include <ostream>
#include <string>

namespace tavrin {

std::ostream& LogStream();

// Writes one report line, ends it and flushes, as every report line is.
void ReportLine(const std::string& text);

}  // namespace tavrin
