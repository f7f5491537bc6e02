#pragma once
// Log categories: numbers below 32 shown as three-letter tags, enabled by name.
#include <string>

namespace tavrin {

using LogCategory = unsigned;

namespace cat {
constexpr LogCategory TRA = 1;  // operation traces
constexpr LogCategory ERR = 2;
constexpr LogCategory LOG = 3;  // confirmations and upload figures
constexpr LogCategory WRN = 10;
constexpr LogCategory SQL = 11;
constexpr LogCategory SCR = 12;
constexpr LogCategory HTP = 13;
constexpr LogCategory THR = 14;
constexpr LogCategory SIM = 17;
constexpr LogCategory URT = 18;  // every byte on the serial line
constexpr LogCategory DB1 = 21;  // upload commands and answers
constexpr LogCategory DB2 = 22;
constexpr LogCategory DB3 = 23;
constexpr LogCategory DB4 = 24;
}  // namespace cat

// Fills the tag table and enables the categories named in `flags`. Keeps earlier enables.
void InitLog(const std::string& flags);
// Enables each category of a comma-separated list of tags (any case, blanks around a tag ok).
void EnableLogFlags(const std::string& list);
void EnableLogFlag(const std::string& name);
bool IsLogEnabled(LogCategory category);
// The tag, or "???" for a number that names no category.
const char* LogCategoryName(LogCategory category);

}  // namespace tavrin
