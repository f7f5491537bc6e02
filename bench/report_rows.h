#pragma once
// Turns each item's measurements into rows of the table, with their goals.
#include <vector>

#include "bench/figure_table.h"
#include "bench/log_bench.h"
#include "bench/process_benches.h"
#include "bench/transfer_bench.h"

namespace tavrin::bench {

std::vector<Figure> TransferRows(const TransferFigures& figures);
std::vector<Figure> LogWriterRows(const LogFigures& figures);
// transferSeconds: the library's transfer of the same size from item 1 (0: not measured).
Figure HexDumpRow(const HexDumpFigures& figures, double transferSeconds);
Figure MemoryRow(const MemoryFigures& figures);
Figure WaitingNativeRow(const WaitingFigures& figures);
Figure WaitingWineRow(const WaitingFigures& figures);
// drainSeconds: item 1's plain transfer of the same size to a full-speed reader (0: none).
Figure EndToEndRow(const EndToEndFigures& figures, double drainSeconds);

}  // namespace tavrin::bench
