#include "bench/stats.h"

#include <algorithm>
#include <cstdio>

namespace tavrin::bench {

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double SecondsSince(Clock::time_point start) { return Seconds(Clock::now() - start); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Duration(double seconds) {
  if (seconds < 10) return Fixed(seconds * 1000, seconds < 0.1 ? 1 : 0) + " ms";
  return Fixed(seconds, 2) + " s";
}

}  // namespace tavrin::bench
