// The skin zip archive, read in place from a memory block (the THEME
// resource). One archive is open per process at a time; everything here runs
// on the UI thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class SkinArchive {
 public:
  // Largest uncompressed member the reader will allocate for. Skin members are
  // a few kilobytes; anything this large is a damaged or hostile archive.
  static constexpr uint64_t kMaxMemberSize = 64u * 1024u * 1024u;
  // Stored names of this many bytes or more are never found.
  static constexpr size_t kMaxNameLength = 256;

  ~SkinArchive();
  SkinArchive(const SkinArchive&) = delete;
  SkinArchive& operator=(const SkinArchive&) = delete;

  // Opens a zip archive on |data| (not copied: it must outlive the archive).
  // Null when the data is not a readable zip archive.
  static std::unique_ptr<SkinArchive> Open(const void* data, size_t size,
                                           const std::string& password);

  // Reads the member |normalised_name| (already in archive form, see
  // NormaliseArchiveName) into a movable global block of exactly its
  // uncompressed size; the caller frees it. Null on any failure.
  HGLOBAL ReadMember(const std::string& normalised_name);
  // The same into a byte string; false on any failure.
  bool ReadMember(const std::string& normalised_name, std::string* bytes);

  // Member names as reported to callers: drive prefixes, leading slashes and
  // everything up to the last parent-folder step are removed, so no name can
  // point outside the archive root.
  std::vector<std::string> MemberNames() const;

  // Result code of the last archive operation (UNZ_OK, UNZ_BADZIPFILE, ...).
  static int LastResult();

  // Reported form of a stored name (see MemberNames).
  static std::string SanitiseMemberName(const std::string& stored_name);

 private:
  struct Member;
  struct MemoryStream;

  SkinArchive();
  const Member* FindMember(const std::string& normalised_name) const;
  bool ReadInto(const Member& member, char* out);

  std::unique_ptr<MemoryStream> stream_;
  void* zip_ = nullptr;  // unzFile
  std::string password_;
  std::vector<Member> members_;  // in central-directory order
  std::vector<size_t> sorted_;   // indexes into members_, by ASCII-folded name
  long open_member_ = -1;        // member whose data is currently open
};

// Opens |data| as the process-wide skin archive, closing any archive that is
// already open first. Returns the archive, or null (and then no archive is
// open) when the data is missing or not a zip archive.
SkinArchive* OpenSkinArchive(const void* data, size_t size, const std::string& password);
// Closes the process-wide archive; harmless when none is open.
void CloseSkinArchive();
// The process-wide archive, or null.
SkinArchive* GetSkinArchive();

// Reads |path| (a skin path such as L"resources\\themes\\default\\global.xml")
// from the process-wide archive after NormaliseArchiveName. A movable global
// block holding the whole member, which the caller frees with GlobalFree; null
// when no archive is open, the path is empty or any step fails.
HGLOBAL ReadArchiveMember(const std::wstring& path);
// The same into a byte string.
bool ReadArchiveMember(const std::wstring& path, std::string* bytes);

// Archive form of a skin path: forward slashes, no empty, "./" or "../"
// segments, UTF-8 (cut to at most 260 bytes on a character boundary).
std::string NormaliseArchiveName(const std::wstring& path);

}  // namespace ui
