// MD5 (RFC 1321) of the UTF-8 form of a text, as 32 uppercase hex digits.
#pragma once

#include <cstdint>
#include <string>

std::wstring Md5Hex(const std::wstring& text);

// The 16-byte digest of |bytes|; |usePlatform| false forces the built-in code
// (the platform's advapi32 exports are used when they can be loaded).
void Md5Digest(const std::string& bytes, bool usePlatform, uint8_t digest[16]);

// True when advapi32's MD5Init/MD5Update/MD5Final were found.
bool PlatformMd5Available();
