#pragma once
// Locale-free text helpers shared by the log flag parser and the robot's version answer.
#include <string>
#include <vector>

namespace tavrin {

// Space, tab, line feed, vertical tab, form feed and carriage return; nothing else.
bool IsBlank(char c);

std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string Trim(const std::string& text);

// Fills `fields` with the pieces between delimiters; empty pieces are dropped, none are trimmed.
void Split(const std::string& text, char delimiter, std::vector<std::string>& fields);

// Upper-cases a to z only; every other byte is copied unchanged.
std::string ToUpper(const std::string& text);

}  // namespace tavrin
