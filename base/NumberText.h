// 64-bit integers to decimal text and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nbase {

// Decimal text, a leading '-' for negative values, no padding or grouping.
std::wstring Int64ToWide(int64_t value);

// Parses optional leading white space (which makes the result false), an
// optional sign and decimal digits up to the end of the range. On overflow the
// output is clamped to the 64-bit limit and the result is false; a stray
// character ends parsing with false and the value read so far.
bool ParseInt64(const char* begin, const char* end, int64_t* output);
bool ParseInt64(const std::string& text, int64_t* output);

}  // namespace nbase
