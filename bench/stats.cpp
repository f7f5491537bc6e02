#include "bench/stats.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tavrin::bench {

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double SecondsSince(Clock::time_point start) { return Seconds(Clock::now() - start); }

double Median(std::vector<double> values) { return Quantile(std::move(values), 0.5); }

double Quantile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double at = fraction * static_cast<double>(values.size() - 1);
  const std::size_t below = static_cast<std::size_t>(at);
  if (below + 1 >= values.size()) return values.back();
  return values[below] + (at - static_cast<double>(below)) * (values[below + 1] - values[below]);
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

std::vector<std::vector<double>> TimeInTurns(const std::vector<std::function<double()>>& ways,
                                             int rounds) {
  std::vector<std::vector<double>> seconds(ways.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t k = 0; k < ways.size(); ++k) {
      const std::size_t way = (static_cast<std::size_t>(round) + k) % ways.size();
      seconds[way].push_back(ways[way]());
    }
  }
  return seconds;
}

}  // namespace tavrin::bench
