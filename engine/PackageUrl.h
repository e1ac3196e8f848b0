// Addresses the setup package is fetched from: the package service first,
// a fixed file on the content-delivery host as the alternative.
#pragma once

#include <windows.h>

#include <string>

// The package service address for |channel| (appended verbatim), with
// "&bits=64" on 64-bit systems. The download adds "&tick=" to it.
std::wstring BuildPackageUrl(const std::wstring& channel, bool native64Bit);

// The package file on the content-delivery host, without its "?tick=".
std::wstring CdnPackageUrl();

// Address of download attempt |attempt| (0-based): even attempts go to the
// package service, odd ones to the CDN, each made unique by the tick count.
std::wstring AttemptUrl(const std::wstring& packageUrl, const std::wstring& cdnUrl, int attempt,
                        DWORD tickCount);
