#include "analysis/json.h"

#include <cstdio>

namespace tarsil {

void json_escape_char(char c, std::string* out) {
  const unsigned char byte = static_cast<unsigned char>(c);
  if (c == '"' || c == '\\') {
    out->push_back('\\');
    out->push_back(c);
  } else if (byte < 0x20) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
    out->append(buffer);
  } else {
    out->push_back(c);
  }
}

std::string json_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) json_escape_char(c, &out);
  return out;
}

}  // namespace tarsil
