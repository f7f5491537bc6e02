#include "bench/figure_table.h"

#include <algorithm>
#include <cstdio>

namespace tavrin::bench {
namespace {

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kMet:
      return "yes";
    case Outcome::kMissed:
      return "NO";
    case Outcome::kReported:
      return "(report)";
    case Outcome::kNotRun:
      return "not run";
  }
  return "?";
}

void PrintRow(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths) {
  std::printf("|");
  for (std::size_t i = 0; i < cells.size(); ++i) {
    std::printf(" %-*s |", static_cast<int>(widths[i]), cells[i].c_str());
  }
  std::printf("\n");
}

}  // namespace

Outcome GoalOutcome(bool met) { return met ? Outcome::kMet : Outcome::kMissed; }

void PrintTable(const std::vector<Figure>& figures) {
  const std::vector<std::string> header = {"figure", "measured", "baseline", "goal", "met"};
  std::vector<std::vector<std::string>> rows;
  for (const Figure& figure : figures) {
    rows.push_back({figure.name, figure.measured, figure.baseline,
                    figure.goal.empty() ? "-" : figure.goal, OutcomeText(figure.outcome)});
  }
  std::vector<std::size_t> widths(header.size());
  for (std::size_t i = 0; i < header.size(); ++i) {
    widths[i] = header[i].size();
    for (const auto& row : rows) widths[i] = std::max(widths[i], row[i].size());
  }
  PrintRow(header, widths);
  std::printf("|");
  for (std::size_t width : widths) std::printf("%s|", std::string(width + 2, '-').c_str());
  std::printf("\n");
  for (const auto& row : rows) PrintRow(row, widths);

  bool anyNote = false;
  for (const Figure& figure : figures) {
    if (figure.note.empty()) continue;
    if (!anyNote) std::printf("\nNotes:\n");
    anyNote = true;
    std::printf("- %s: %s\n", figure.name.c_str(), figure.note.c_str());
  }
  std::fflush(stdout);
}

}  // namespace tavrin::bench
