#pragma once
// Clocks and the summaries every figure is built from.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tavrin::bench {

using Clock = std::chrono::steady_clock;

constexpr double kMiB = 1024.0 * 1024.0;

double Seconds(Clock::duration duration);
double SecondsSince(Clock::time_point start);
// The middle value (the mean of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> values);
// The value below which `fraction` of the values lie, interpolated (0.25: first quartile).
double Quantile(std::vector<double> values, double fraction);

// Times every way `rounds` times, each way going first in turn so that a drift in the machine's
// speed hits all of them. Result: seconds[way][round].
std::vector<std::vector<double>> TimeInTurns(const std::vector<std::function<double()>>& ways,
                                             int rounds);

// "1.234", "0.050": a ratio or a time with `decimals` places.
std::string Fixed(double value, int decimals);
// "612 ms" below ten seconds' worth of milliseconds, "10.31 s" above.
std::string Duration(double seconds);

}  // namespace tavrin::bench
