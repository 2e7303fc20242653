// Number conversion and number formats of filter and transform options.
#include "options/process/option_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tinrise {
namespace {

// Tries "%g" (or `first_format`), then ever more significant digits until the
// text reads back as `value`; `same` decides what reading back means.
template <class Same>
void append_exact(std::string& buffer, double value, const char* first_format, Same same) {
  char text[512];
  std::snprintf(text, sizeof(text), first_format, value);
  if (value == value && !same(std::strtod(text, nullptr))) {
    for (int digits = 7; digits <= 17; digits++) {
      std::snprintf(text, sizeof(text), "%.*g", digits, value);
      if (same(std::strtod(text, nullptr))) break;
    }
  }
  buffer += text;
  buffer += ' ';
}

}  // namespace

std::int32_t lenient_int(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned long long>(value)));
}

double lenient_real(const char* text) { return std::strtod(text, nullptr); }

void append_option(std::string& buffer, const char* name) {
  buffer += '-';
  buffer += name;
  buffer += ' ';
}

void append_int(std::string& buffer, std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof(text), "%" PRId64 " ", value);
  buffer += text;
}

void append_real(std::string& buffer, double value) {
  append_exact(buffer, value, "%g", [value](double back) { return back == value; });
}

void append_real32(std::string& buffer, float value) {
  append_exact(buffer, value, "%g", [value](double back) { return static_cast<float>(back) == value; });
}

void append_time(std::string& buffer, double value) {
  append_exact(buffer, value, "%.6f", [value](double back) { return back == value; });
}

std::vector<char*> split_option_text(std::string& text) {
  std::vector<char*> words;
  words.push_back(text.data() + text.size());  // dummy argv[0]: the terminating zero
  char* cursor = text.data();
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (*cursor) {
    while (blank(*cursor)) *cursor++ = '\0';
    if (*cursor == '\0') break;
    words.push_back(cursor);
    while (*cursor && !blank(*cursor)) cursor++;
  }
  return words;
}

bool starts_with(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace tinrise
