#include "diagnostics/text_ops.h"

namespace tavrin {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string TrimLeft(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsBlank(text[i])) return text.substr(i);
  }
  return std::string();
}

std::string TrimRight(const std::string& text) {
  for (std::size_t i = text.size(); i > 0; --i) {
    if (!IsBlank(text[i - 1])) return text.substr(0, i);
  }
  return std::string();
}

std::string Trim(const std::string& text) { return TrimRight(TrimLeft(text)); }

void Split(const std::string& text, char delimiter, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool inField = false;
  for (char c : text) {
    if (c == delimiter) {
      if (inField) fields.push_back(field);
      inField = false;
      field.clear();
    } else {
      field += c;
      inField = true;
    }
  }
  if (inField) fields.push_back(field);
}

std::string ToUpper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace tavrin
