// Names that identify the product on disk, in the registry and on screen.
#pragma once

namespace product {

// Shown in window titles, the single-instance message and message boxes.
inline constexpr wchar_t kProductDisplayName[] = L"岚枢PDF转换器";
// The installed program, matched case-sensitively among running processes.
inline constexpr wchar_t kProductExeName[] = L"pageWright.exe";
// Appended to the chosen folder, leading backslash included.
inline constexpr wchar_t kProductSubFolder[] = L"\\zorvikmedia\\pageWright";
// The installer's own registry key under HKEY_CURRENT_USER.
inline constexpr wchar_t kAppInfoKey[] = L"Software\\pagewright\\AppInfo";

}  // namespace product
