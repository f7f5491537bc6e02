#pragma once
// The library's standard output. Report lines go here straight, log lines via the writer.
#include <ostream>
#include <string>

namespace tavrin {

std::ostream& LogStream();

// Writes one report line, ends it and flushes, as every report line is.
void ReportLine(const std::string& text);

// "  " + label filled up with dots to `width` + " " + value, as a report line. A label of
// `width` characters or more stands whole.
void ReportDottedLine(const std::string& label, int width, const std::string& value);

}  // namespace tavrin
