#include "diagnostics/log_stream.h"

#include <iostream>

namespace tavrin {

std::ostream& LogStream() { return std::cout; }

void ReportLine(const std::string& text) { LogStream() << text << std::endl; }

}  // namespace tavrin
