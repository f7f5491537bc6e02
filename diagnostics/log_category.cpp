#include "diagnostics/log_category.h"

#include <iterator>
#include <vector>

#include "diagnostics/log_state.h"
#include "diagnostics/log_writer.h"
#include "diagnostics/text_ops.h"

namespace tavrin {
namespace {

struct CategoryRow {
  const char* tag;
  LogCategory number;
};

// Several tags carry no lines in this library; users may still enable them by name.
constexpr CategoryRow kCategories[] = {
    {"TRA", cat::TRA}, {"ERR", cat::ERR}, {"LOG", cat::LOG}, {"WRN", cat::WRN}, {"SQL", cat::SQL},
    {"SCR", cat::SCR}, {"HTP", cat::HTP}, {"THR", cat::THR}, {"SIM", cat::SIM}, {"URT", cat::URT},
    {"DB1", cat::DB1}, {"DB2", cat::DB2}, {"DB3", cat::DB3}, {"DB4", cat::DB4},
};

}  // namespace

void InitLog(const std::string& flags) {
  LogState& state = TheLogState();
  state.categoryTable.clear();
  for (const CategoryRow& row : kCategories) state.categoryTable[row.tag] = row.number;
  EnableLogFlags(flags);
}

void EnableLogFlags(const std::string& list) {
  std::vector<std::string> names;
  Split(list, ',', names);
  for (const std::string& name : names) EnableLogFlag(name);
}

void EnableLogFlag(const std::string& name) {
  LogState& state = TheLogState();
  auto found = state.categoryTable.find(Trim(ToUpper(name)));
  if (found == state.categoryTable.end()) return;
  state.enabledCategories.set(found->second);
  LogPrint("Log %s enabled", name.c_str());
}

bool IsLogEnabled(LogCategory category) {
  return category < 32 && TheLogState().enabledCategories.test(category);
}

const char* LogCategoryName(LogCategory category) {
  for (const CategoryRow& row : kCategories) {
    if (row.number == category) return row.tag;
  }
  return "???";
}

}  // namespace tavrin
