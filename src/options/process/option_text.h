// Lenient number conversion for option arguments and the number formats of
// option echoes, shared by the point filter and the point transform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tinrise {

// The decimal integer at the start of `text` kept in its low 32 bits, as
// atoi reads it; text that is not a number reads as 0.
std::int32_t lenient_int(const char* text);
// The real number at the start of `text`, as atof reads it; otherwise 0.
double lenient_real(const char* text);

// Echo pieces; each is followed by one blank so that pieces concatenate into a
// parseable option list.
void append_option(std::string& buffer, const char* name);  // "-name "
void append_int(std::string& buffer, std::int64_t value);   // "%d "
// Reals print as "%g" whenever that reads back as the same number; otherwise
// with as many digits as it takes, so an echo parses into the same bounds.
void append_real(std::string& buffer, double value);
void append_real32(std::string& buffer, float value);  // the same for 32-bit bounds
void append_time(std::string& buffer, double value);   // "%.6f", with more digits if needed

// Cuts `text` in place at blanks and returns the words behind a dummy first
// argument, so that they can be parsed as arguments 1, 2, ...
std::vector<char*> split_option_text(std::string& text);

// True when `text` begins with `prefix`.
bool starts_with(const char* text, const char* prefix);

}  // namespace tinrise
