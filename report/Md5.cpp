#include "report/Md5.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/StringUtil.h"
#include "base/SystemLibrary.h"

namespace {

// advapi32's context layout for MD5Init/MD5Update/MD5Final.
struct PlatformMd5Context {
  ULONG i[2];
  ULONG buf[4];
  unsigned char in[64];
  unsigned char digest[16];
};

using Md5InitFn = void(WINAPI*)(PlatformMd5Context*);
using Md5UpdateFn = void(WINAPI*)(PlatformMd5Context*, const unsigned char*, unsigned int);
using Md5FinalFn = void(WINAPI*)(PlatformMd5Context*);

struct PlatformMd5 {
  Md5InitFn init = nullptr;
  Md5UpdateFn update = nullptr;
  Md5FinalFn final = nullptr;
};

template <typename Fn>
Fn FindExport(HMODULE module, const char* name) {
  // Through void* so the compiler accepts the change of function type.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

BOOL CALLBACK LoadPlatformMd5(PINIT_ONCE, PVOID table, PVOID*) {
  auto* md5 = static_cast<PlatformMd5*>(table);
  // Kept loaded for the life of the process.
  HMODULE advapi = nbase::LoadSystemLibrary(L"advapi32.dll");
  if (!advapi) return TRUE;
  md5->init = FindExport<Md5InitFn>(advapi, "MD5Init");
  md5->update = FindExport<Md5UpdateFn>(advapi, "MD5Update");
  md5->final = FindExport<Md5FinalFn>(advapi, "MD5Final");
  if (!md5->init || !md5->update || !md5->final) *md5 = PlatformMd5();
  return TRUE;
}

const PlatformMd5& Platform() {
  static PlatformMd5 table;
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  ::InitOnceExecuteOnce(&once, &LoadPlatformMd5, &table, nullptr);
  return table;
}

// Built-in RFC 1321 for systems without the exports.
class Md5 {
 public:
  void Update(const uint8_t* data, size_t size) {
    size_t used = static_cast<size_t>(length_ % 64);
    length_ += size;
    while (size > 0) {
      const size_t take = std::min<size_t>(64 - used, size);
      std::memcpy(block_ + used, data, take);
      used += take;
      data += take;
      size -= take;
      if (used == 64) {
        Transform(block_);
        used = 0;
      }
    }
  }

  void Final(uint8_t digest[16]) {
    const uint64_t bits = length_ * 8;
    static const uint8_t kPadding[64] = {0x80};
    const size_t used = static_cast<size_t>(length_ % 64);
    Update(kPadding, used < 56 ? 56 - used : 120 - used);
    uint8_t tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(tail, 8);
    for (int i = 0; i < 4; ++i)
      for (int b = 0; b < 4; ++b) digest[i * 4 + b] = static_cast<uint8_t>(state_[i] >> (8 * b));
  }

 private:
  static uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

  void Transform(const uint8_t block[64]) {
    static const uint32_t kSine[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
        0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
        0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
        0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
        0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
        0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
        0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
        0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
        0xeb86d391};
    static const int kShift[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
      m[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
             (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int i = 0; i < 64; ++i) {
      const int round = i / 16;
      uint32_t f;
      int g;
      if (round == 0) {
        f = (b & c) | (~b & d);
        g = i;
      } else if (round == 1) {
        f = (d & b) | (~d & c);
        g = (5 * i + 1) % 16;
      } else if (round == 2) {
        f = b ^ c ^ d;
        g = (3 * i + 5) % 16;
      } else {
        f = c ^ (b | ~d);
        g = (7 * i) % 16;
      }
      const uint32_t next = b + Rotate(a + f + kSine[i] + m[g], kShift[round * 4 + i % 4]);
      a = d;
      d = c;
      c = b;
      b = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
  }

  uint32_t state_[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  uint64_t length_ = 0;
  uint8_t block_[64] = {};
};

}  // namespace

bool PlatformMd5Available() { return Platform().init != nullptr; }

void Md5Digest(const std::string& bytes, bool usePlatform, uint8_t digest[16]) {
  const PlatformMd5& platform = Platform();
  if (usePlatform && platform.init) {
    PlatformMd5Context context = {};
    platform.init(&context);
    platform.update(&context, reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<unsigned int>(bytes.size()));
    platform.final(&context);
    std::memcpy(digest, context.digest, 16);
    return;
  }
  Md5 md5;
  md5.Update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  md5.Final(digest);
}

std::wstring Md5Hex(const std::wstring& text) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  uint8_t digest[16];
  Md5Digest(nbase::WideToUtf8(text), true, digest);
  std::wstring hex;
  hex.reserve(32);
  for (uint8_t byte : digest) {
    hex.push_back(kHex[byte >> 4]);
    hex.push_back(kHex[byte & 0x0F]);
  }
  return hex;
}
