#include "diagnostics/log_stream.h"

#include <iomanip>
#include <iostream>

namespace tavrin {

std::ostream& LogStream() { return std::cout; }

void ReportLine(const std::string& text) { LogStream() << text << std::endl; }

void ReportDottedLine(const std::string& label, int width, const std::string& value) {
  LogStream() << "  " << std::left << std::setfill('.') << std::setw(width) << label
              << std::setfill(' ') << " " << value << std::endl;
}

}  // namespace tavrin
