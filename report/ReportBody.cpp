#include "report/ReportBody.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "base/Base64.h"
#include "report/Identity.h"

namespace {

constexpr char kBodyPrefix[] = "log=";
constexpr size_t kBodyPrefixLength = sizeof(kBodyPrefix) - 1;

// Reports are a few hundred bytes; longer ones (a long survey text) take a heap buffer.
constexpr size_t kStackScratchBytes = 2048;

// The most UTF-8 bytes one UTF-16 unit can become: an escaped control
// character ("\u001f") is six, any other unit at most three.
constexpr size_t kMaxEscapedBytesPerUnit = 6;
constexpr size_t kMaxBytesPerUnit = 3;

template <size_t N>
constexpr size_t LiteralLength(const char (&)[N]) {
  return N - 1;
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Writes UTF-16 text as UTF-8 into a buffer the caller has sized. A high
// surrogate waits for the next unit, so the output is what WideToUtf8 makes
// of the whole text, whatever the pieces it arrives in.
class Utf8Sink {
 public:
  explicit Utf8Sink(char* buffer) : begin_(buffer), out_(buffer) {}

  void Ascii(const char* text, size_t length) {
    FlushHigh();
    std::memcpy(out_, text, length);
    out_ += length;
  }
  template <size_t N>
  void Ascii(const char (&text)[N]) {
    Ascii(text, N - 1);
  }
  // Bytes already in UTF-8 that start with an ASCII character.
  void Utf8(const std::string& bytes) { Ascii(bytes.data(), bytes.size()); }

  void Verbatim(const std::wstring& text) {
    for (const wchar_t c : text) Unit(static_cast<uint16_t>(c));
  }

  // A JSON string's content, escaped as EscapeJsonText does.
  void Escaped(const std::wstring& text) {
    for (const wchar_t c : text) {
      const uint16_t unit = static_cast<uint16_t>(c);
      if (unit >= 0x20 && unit < 0x80 && unit != '"' && unit != '\\' && high_ == 0) {
        *out_++ = static_cast<char>(unit);  // the common case
      } else {
        EscapedUnit(unit);
      }
    }
  }

  // The number of bytes written; 0 when the text ended on a high surrogate,
  // for which WideToUtf8 gives an empty string.
  size_t Finish() const { return high_ != 0 ? 0 : static_cast<size_t>(out_ - begin_); }

 private:
  void EscapedUnit(uint16_t unit) {
    static const char kHex[] = "0123456789abcdef";
    switch (unit) {
      case '"':
        return Ascii("\\\"");
      case '\\':
        return Ascii("\\\\");
      case '\b':
        return Ascii("\\b");
      case '\f':
        return Ascii("\\f");
      case '\n':
        return Ascii("\\n");
      case '\r':
        return Ascii("\\r");
      case '\t':
        return Ascii("\\t");
      default:
        if (unit < 0x20) {
          const char escape[] = {'\\', 'u', '0', '0', kHex[unit >> 4], kHex[unit & 0x0F]};
          return Ascii(escape, sizeof(escape));
        }
        Unit(unit);
    }
  }

  void Unit(uint32_t unit) {
    if (high_ != 0) {
      if (IsLowSurrogate(unit)) {
        const uint32_t code_point = 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00);
        high_ = 0;
        out_[0] = static_cast<char>(0xF0 | (code_point >> 18));
        out_[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out_[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out_[3] = static_cast<char>(0x80 | (code_point & 0x3F));
        out_ += 4;
        return;
      }
      FlushHigh();
    }
    if (unit < 0x80) {
      *out_++ = static_cast<char>(unit);
    } else if (unit < 0x800) {
      out_[0] = static_cast<char>(0xC0 | (unit >> 6));
      out_[1] = static_cast<char>(0x80 | (unit & 0x3F));
      out_ += 2;
    } else if (IsHighSurrogate(unit)) {
      high_ = unit;
    } else {
      ThreeBytes(unit);
    }
  }

  // An unpaired high surrogate is written on its own, as three bytes.
  void FlushHigh() {
    if (high_ == 0) return;
    ThreeBytes(high_);
    high_ = 0;
  }

  void ThreeBytes(uint32_t unit) {
    out_[0] = static_cast<char>(0xE0 | (unit >> 12));
    out_[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out_[2] = static_cast<char>(0x80 | (unit & 0x3F));
    out_ += 3;
  }

  char* const begin_;
  char* out_;
  uint32_t high_ = 0;  // a high surrogate waiting for its partner
};

// A buffer of at least |size| bytes: on the stack when it fits.
class ScratchBuffer {
 public:
  explicit ScratchBuffer(size_t size) {
    if (size > sizeof(stack_)) heap_.reset(new char[size]);
  }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;
  char* data() { return heap_ ? heap_.get() : stack_; }

 private:
  char stack_[kStackScratchBytes];
  std::unique_ptr<char[]> heap_;
};

std::string BodyOfUtf8(const char* utf8, size_t size) {
  std::string body(kBodyPrefixLength + nbase::Base64EncodedLength(size), '\0');
  std::memcpy(&body[0], kBodyPrefix, kBodyPrefixLength);
  nbase::EncodeBase64To(utf8, size, &body[kBodyPrefixLength]);
  return body;
}

// The members between the event name and the data, as UTF-8. They never
// change once the identity caches are filled, so they are built once.
std::string BuildIdentityMembers() {
  const std::wstring id = GetUniqueId();
  const std::wstring version = GetAppVersion(std::wstring());
  const std::wstring name = kReportAppName;
  ScratchBuffer scratch(64 + kMaxEscapedBytesPerUnit * (id.size() + version.size() + name.size()));
  Utf8Sink sink(scratch.data());
  sink.Ascii("\",\"imei\":\"");
  sink.Escaped(id);
  sink.Ascii("\",\"appver\":\"");
  sink.Escaped(version);
  sink.Ascii("\",\"appName\":\"");
  sink.Escaped(name);
  sink.Ascii("\"");
  // Every value is closed by a quote, so no surrogate is left waiting.
  return std::string(scratch.data(), sink.Finish());
}

const std::string& IdentityMembers() {
  static const std::string members = BuildIdentityMembers();
  return members;
}

}  // namespace

std::string BuildReportBody(const std::wstring& eventName, const ReportParams& params) {
  const std::string& identity = IdentityMembers();
  size_t units = eventName.size();
  for (const auto& param : params) units += param.first.size() + param.second.size();
  // Per pair: two quoted strings, a colon and a comma.
  const size_t bound = LiteralLength("{\"eventId\":\"") + identity.size() +
                       LiteralLength(",\"data\":{") + LiteralLength("}}") +
                       params.size() * LiteralLength(",\"\":\"\"") +
                       kMaxEscapedBytesPerUnit * units;
  ScratchBuffer scratch(bound);
  Utf8Sink sink(scratch.data());
  sink.Ascii("{\"eventId\":\"");
  sink.Escaped(eventName);
  sink.Utf8(identity);  // starts with the quote that closes the event name
  sink.Ascii(",\"data\":{");
  bool first = true;
  for (const auto& param : params) {
    if (!first) sink.Ascii(",");
    first = false;
    sink.Ascii("\"");
    sink.Escaped(param.first);
    sink.Ascii("\":\"");
    sink.Escaped(param.second);
    sink.Ascii("\"");
  }
  sink.Ascii("}}");
  return BodyOfUtf8(scratch.data(), sink.Finish());
}

std::string EncodeJsonBody(const std::wstring& json) {
  ScratchBuffer scratch(kMaxBytesPerUnit * json.size());
  Utf8Sink sink(scratch.data());
  sink.Verbatim(json);
  return BodyOfUtf8(scratch.data(), sink.Finish());
}
