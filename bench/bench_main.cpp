// tavrin-bench: the five figures, each against a baseline measured in the same run.
//   tavrin-bench [--windows-bin DIR --wine-prefix DIR] [--native-bin DIR] [--quick]
//                [--only N[,N]...]   (item numbers 1-5; 2 and 5 use item 1's figures when run)
// Progress goes to standard error, the table to standard output. Exit status 0 when every
// goal was met, 1 when one was missed or could not be measured, 2 for a bad command line.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>

#include "bench/bench_context.h"
#include "bench/figure_table.h"
#include "bench/report_rows.h"
#include "bench/stats.h"
#include "diagnostics/log_category.h"

namespace tavrin::bench {
namespace {

constexpr std::uint64_t kOneMiB = 1 << 20;

// The library reports on standard output, which carries the table here.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

std::set<int> ItemList(const std::string& text) {
  std::set<int> items;
  std::istringstream words(text);
  std::string word;
  while (std::getline(words, word, ',')) items.insert(std::atoi(word.c_str()));
  return items;
}

// The one-minute load average: a busy machine makes every timed figure noisier.
std::string LoadAverage() {
  double load = -1;
  if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(file, "%lf", &load) != 1) load = -1;
    std::fclose(file);
  }
  return load < 0 ? "?" : Fixed(load, 2);
}

bool ParseArguments(int argc, char** argv, BenchContext& context, std::set<int>& items) {
  context.nativeBin = TAVRIN_BENCH_NATIVE_BIN_DIR;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--quick") {
      context.quick = true;
    } else if (i + 1 < argc && option == "--windows-bin") {
      context.windowsBin = argv[++i];
    } else if (i + 1 < argc && option == "--wine-prefix") {
      context.winePrefix = argv[++i];
    } else if (i + 1 < argc && option == "--only") {
      items = ItemList(argv[++i]);
    } else if (i + 1 < argc && option == "--native-bin") {
      context.nativeBin = argv[++i];
    } else {
      std::fprintf(stderr, "tavrin-bench: unknown option %s\n", option.c_str());
      return false;
    }
  }
  return true;
}

void MakeWorkFolders(BenchContext& context) {
  char folder[] = "/tmp/tavrin-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
  context.workFolder = folder;
  context.portsFolder = context.workFolder + "/ports";
  context.sysfsFolder = context.workFolder + "/sysfs";
  std::filesystem::create_directory(context.portsFolder);
  std::filesystem::create_directory(context.sysfsFolder);
  setenv("TAVRIN_PORTS", context.portsFolder.c_str(), 1);
}

// Runs one measurement; a failure becomes a row that says so instead of ending the run.
void AttemptItem(const std::string& what, std::vector<Figure>& table,
                 const std::function<void()>& measure) {
  std::fprintf(stderr, "  %s ...\n", what.c_str());
  const Clock::time_point start = Clock::now();
  try {
    measure();
  } catch (const std::exception& error) {
    Figure failed;
    failed.name = what;
    failed.outcome = Outcome::kNotRun;
    failed.note = error.what();
    table.push_back(failed);
  }
  std::fprintf(stderr, "    %s\n", Duration(SecondsSince(start)).c_str());
}

std::vector<Figure> RunAll(const BenchContext& context, const std::set<int>& items) {
  std::vector<Figure> table;
  auto Attempt = [&](const std::string& what, const std::function<void()>& measure) {
    if (items.count(what[0] - '0') != 0) AttemptItem(what, table, measure);
  };
  double transfer16Library = 0, transfer16Plain = 0;
  // Rounds: enough for steady medians on a busy machine, within the run's time budget.
  const auto sizes = context.quick ? std::vector<std::pair<int, int>>{{1, 5}, {16, 3}, {64, 2}}
                                   : std::vector<std::pair<int, int>>{{1, 31}, {16, 15}, {64, 9}};
  for (const auto& [mib, rounds] : sizes) {
    Attempt("1. transfer " + std::to_string(mib) + " MiB", [&, mib = mib, rounds = rounds] {
      const TransferFigures figures = MeasureTransfer(context, mib * kOneMiB, rounds);
      for (const Figure& row : TransferRows(figures)) table.push_back(row);
      if (mib == 16) {
        transfer16Library = figures.librarySeconds;
        transfer16Plain = figures.plainSeconds;
      }
    });
  }
  Attempt("2. log writer", [&] {
    const LogFigures figures = MeasureLogWriter(context, 100000, context.quick ? 3 : 7);
    for (const Figure& row : LogWriterRows(figures)) table.push_back(row);
  });
  Attempt("2. URT hex dump", [&] {
    table.push_back(HexDumpRow(MeasureHexDump(context, 16 * kOneMiB), transfer16Library));
  });
  Attempt("3. memory", [&] {
    table.push_back(
        MemoryRow(MeasureUploadMemory(context, kOneMiB, 256 * kOneMiB, context.quick ? 1 : 3)));
  });
  Attempt("4. waiting, native",
          [&] { table.push_back(WaitingNativeRow(MeasureWaitingNative(context))); });
  Attempt("4. waiting, Wine",
          [&] { table.push_back(WaitingWineRow(MeasureWaitingWine(context))); });
  Attempt("5. end to end", [&] {
    table.push_back(EndToEndRow(MeasureEndToEnd(context, 16 * kOneMiB, context.quick ? 2 : 5),
                                transfer16Plain));
  });
  return table;
}

}  // namespace
}  // namespace tavrin::bench

int main(int argc, char** argv) {
  using namespace tavrin::bench;
  BenchContext context;
  std::set<int> items = {1, 2, 3, 4, 5};
  if (!ParseArguments(argc, argv, context, items)) return 2;
  NullBuffer discard;
  std::streambuf* const console = std::cout.rdbuf(&discard);
  tavrin::InitLog("");
  std::vector<Figure> table;
  const std::string loadBefore = LoadAverage();
  try {
    MakeWorkFolders(context);
    std::fprintf(stderr, "tavrin-bench: scratch files in %s\n", context.workFolder.c_str());
    table = RunAll(context, items);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavrin-bench: %s\n", error.what());
  }
  if (!context.workFolder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(context.workFolder, ignored);
  }
  std::cout.rdbuf(console);  // the stream outlives main, the null buffer does not
  PrintTable(table);
  std::printf("\nLoad average (1 min) at the start: %s, at the end: %s, on %ld processors.\n",
              loadBefore.c_str(), LoadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  bool allMet = !table.empty();
  for (const Figure& row : table) {
    if (row.outcome == Outcome::kMissed || row.outcome == Outcome::kNotRun) allMet = false;
  }
  return allMet ? 0 : 1;
}
