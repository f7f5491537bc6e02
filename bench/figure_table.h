#pragma once
// One row per figure: what was measured, against what, the goal, and whether it was met.
#include <string>
#include <vector>

namespace tavrin::bench {

enum class Outcome { kMet, kMissed, kReported, kNotRun };

struct Figure {
  std::string name;      // e.g. "1. transfer 16 MiB"
  std::string measured;  // the figure itself, e.g. "0.991"
  std::string baseline;  // what it was compared with
  std::string goal;      // e.g. ">= 0.97"; empty for a figure only reported
  Outcome outcome = Outcome::kReported;
  std::string note;  // why a goal was missed, or what the row cannot show
};

Outcome GoalOutcome(bool met);
void PrintTable(const std::vector<Figure>& figures);

}  // namespace tavrin::bench
