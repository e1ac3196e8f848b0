// The installer's values under HKEY_CURRENT_USER: best-effort writes, reads
// that give an empty text on any failure.
#pragma once

#include <string>

// Sets |valueName| under HKEY_CURRENT_USER\|keyPath| to |value| (REG_SZ),
// creating the key when needed. False when the key or value cannot be written.
bool RegWriteString(const std::wstring& keyPath, const std::wstring& valueName,
                    const std::wstring& value);

// The text of |valueName|, or empty when the key or value is missing,
// unreadable or longer than 259 characters.
std::wstring RegReadString(const std::wstring& keyPath, const std::wstring& valueName);
