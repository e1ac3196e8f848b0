#include "ui/skin/SkinArchive.h"

#include <algorithm>
#include <cstring>

#include "base/StringUtil.h"
#include "unzip.h"

namespace ui {

namespace {

// Result of the last archive operation, kept for diagnostics.
int g_last_result = UNZ_OK;

std::unique_ptr<SkinArchive>& ProcessArchive() {
  static std::unique_ptr<SkinArchive> archive;
  return archive;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldName(const std::string& name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
  return folded;
}

constexpr size_t kMaxNormalisedBytes = 260;

}  // namespace

struct SkinArchive::Member {
  std::string name;    // as stored
  std::string folded;  // ASCII letters lower-cased, for lookups
  unz64_file_pos position = {};
  uint64_t uncompressed_size = 0;
};

// The archive bytes seen through minizip's file interface. Nothing is copied.
struct SkinArchive::MemoryStream {
  const unsigned char* data = nullptr;
  uint64_t size = 0;
  uint64_t position = 0;
  bool failed = false;

  static voidpf ZCALLBACK OpenStream(voidpf opaque, const void* /*filename*/, int mode) {
    auto* stream = static_cast<MemoryStream*>(opaque);
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    stream->position = 0;
    stream->failed = false;
    return stream;
  }
  static uLong ZCALLBACK Read(voidpf /*opaque*/, voidpf handle, void* buffer, uLong size) {
    auto* stream = static_cast<MemoryStream*>(handle);
    const uint64_t left = stream->size - stream->position;
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, left));
    if (count != 0) std::memcpy(buffer, stream->data + stream->position, count);
    stream->position += count;
    // minizip takes a short read without an error flag for a zero byte, so a
    // truncated archive must report the short read as an error.
    if (count < size) stream->failed = true;
    return count;
  }
  static uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }
  static ZPOS64_T ZCALLBACK Tell(voidpf /*opaque*/, voidpf handle) {
    return static_cast<MemoryStream*>(handle)->position;
  }
  static long ZCALLBACK Seek(voidpf /*opaque*/, voidpf handle, ZPOS64_T offset, int origin) {
    auto* stream = static_cast<MemoryStream*>(handle);
    uint64_t base = 0;
    switch (origin) {
      case ZLIB_FILEFUNC_SEEK_SET:
        base = 0;
        break;
      case ZLIB_FILEFUNC_SEEK_CUR:
        base = stream->position;
        break;
      case ZLIB_FILEFUNC_SEEK_END:
        base = stream->size;
        break;
      default:
        return -1;
    }
    // Offsets past the end (or wrapping round) mean a damaged directory.
    if (offset > stream->size - base) {
      stream->failed = true;
      return -1;
    }
    stream->position = base + offset;
    return 0;
  }
  static int ZCALLBACK Close(voidpf, voidpf) { return 0; }
  static int ZCALLBACK TestError(voidpf /*opaque*/, voidpf handle) {
    return static_cast<MemoryStream*>(handle)->failed ? 1 : 0;
  }
};

SkinArchive::SkinArchive() = default;

SkinArchive::~SkinArchive() {
  if (zip_ != nullptr) {
    if (open_member_ >= 0) unzCloseCurrentFile(zip_);
    unzClose(zip_);
  }
}

std::unique_ptr<SkinArchive> SkinArchive::Open(const void* data, size_t size,
                                               const std::string& password) {
  if (data == nullptr || size == 0) {
    g_last_result = UNZ_PARAMERROR;
    return nullptr;
  }
  std::unique_ptr<SkinArchive> archive(new SkinArchive());
  archive->stream_.reset(new MemoryStream());
  archive->stream_->data = static_cast<const unsigned char*>(data);
  archive->stream_->size = size;
  archive->password_ = password;

  zlib_filefunc64_def functions = {};
  functions.zopen64_file = &MemoryStream::OpenStream;
  functions.zread_file = &MemoryStream::Read;
  functions.zwrite_file = &MemoryStream::Write;
  functions.ztell64_file = &MemoryStream::Tell;
  functions.zseek64_file = &MemoryStream::Seek;
  functions.zclose_file = &MemoryStream::Close;
  functions.zerror_file = &MemoryStream::TestError;
  functions.opaque = archive->stream_.get();

  archive->zip_ = unzOpen2_64("skin", &functions);
  if (archive->zip_ == nullptr) {
    g_last_result = UNZ_BADZIPFILE;
    return nullptr;
  }

  // Index the central directory once: lookups are then a binary search and
  // never depend on minizip's fixed-size name buffers.
  int result = unzGoToFirstFile(archive->zip_);
  while (result == UNZ_OK) {
    unz_file_info64 info = {};
    result = unzGetCurrentFileInfo64(archive->zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (result != UNZ_OK) break;
    if (info.size_filename < kMaxNameLength) {
      char name[kMaxNameLength] = {};
      result = unzGetCurrentFileInfo64(archive->zip_, nullptr, name, sizeof(name), nullptr, 0,
                                       nullptr, 0);
      if (result != UNZ_OK) break;
      Member member;
      member.name.assign(name, info.size_filename);
      // A NUL inside a stored name would make it match a shorter query.
      if (member.name.find('\0') == std::string::npos) {
        member.folded = FoldName(member.name);
        member.uncompressed_size = info.uncompressed_size;
        result = unzGetFilePos64(archive->zip_, &member.position);
        if (result != UNZ_OK) break;
        archive->members_.push_back(std::move(member));
      }
    }
    result = unzGoToNextFile(archive->zip_);
  }
  if (result != UNZ_END_OF_LIST_OF_FILE) {
    g_last_result = result;
    return nullptr;
  }

  archive->sorted_.resize(archive->members_.size());
  for (size_t i = 0; i < archive->sorted_.size(); ++i) archive->sorted_[i] = i;
  const std::vector<Member>& members = archive->members_;
  // Stable, so that of two names differing only in case the first stored wins.
  std::stable_sort(
      archive->sorted_.begin(), archive->sorted_.end(),
      [&members](size_t a, size_t b) { return members[a].folded < members[b].folded; });
  g_last_result = UNZ_OK;
  return archive;
}

const SkinArchive::Member* SkinArchive::FindMember(const std::string& normalised_name) const {
  if (normalised_name.empty() || normalised_name.size() >= kMaxNameLength) return nullptr;
  const std::string folded = FoldName(normalised_name);
  auto it = std::lower_bound(
      sorted_.begin(), sorted_.end(), folded,
      [this](size_t index, const std::string& key) { return members_[index].folded < key; });
  if (it == sorted_.end() || members_[*it].folded != folded) return nullptr;
  return &members_[*it];
}

bool SkinArchive::ReadInto(const Member& member, char* out) {
  if (open_member_ >= 0) {
    unzCloseCurrentFile(zip_);
    open_member_ = -1;
  }
  unz64_file_pos position = member.position;
  g_last_result = unzGoToFilePos64(zip_, &position);
  if (g_last_result != UNZ_OK) return false;
  g_last_result = unzOpenCurrentFilePassword(zip_, password_.empty() ? nullptr : password_.c_str());
  if (g_last_result != UNZ_OK) return false;
  open_member_ = static_cast<long>(&member - members_.data());

  // Read exactly the declared size; a member that inflates to less is damaged.
  uint64_t done = 0;
  const uint64_t size = member.uncompressed_size;
  bool ok = true;
  while (done < size) {
    const unsigned chunk = static_cast<unsigned>(std::min<uint64_t>(size - done, 1u << 20));
    const int read = unzReadCurrentFile(zip_, out + done, chunk);
    if (read <= 0) {
      g_last_result = read < 0 ? read : UNZ_BADZIPFILE;
      ok = false;
      break;
    }
    done += static_cast<unsigned>(read);
  }
  // Closing checks the CRC once the whole member has been read.
  const int close_result = unzCloseCurrentFile(zip_);
  open_member_ = -1;
  if (ok && close_result != UNZ_OK) {
    g_last_result = close_result;
    ok = false;
  }
  return ok;
}

HGLOBAL SkinArchive::ReadMember(const std::string& normalised_name) {
  const Member* member = FindMember(normalised_name);
  if (member == nullptr) {
    g_last_result = UNZ_END_OF_LIST_OF_FILE;
    return nullptr;
  }
  if (member->uncompressed_size > kMaxMemberSize) {
    g_last_result = UNZ_BADZIPFILE;
    return nullptr;
  }
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(member->uncompressed_size));
  if (block == nullptr) return nullptr;
  if (member->uncompressed_size == 0) {
    // Nothing to inflate, but the member must still be readable.
    char none = 0;
    if (!ReadInto(*member, &none)) {
      ::GlobalFree(block);
      return nullptr;
    }
    return block;
  }
  char* out = static_cast<char*>(::GlobalLock(block));
  const bool ok = out != nullptr && ReadInto(*member, out);
  if (out != nullptr) ::GlobalUnlock(block);
  if (!ok) {
    ::GlobalFree(block);
    return nullptr;
  }
  return block;
}

bool SkinArchive::ReadMember(const std::string& normalised_name, std::string* bytes) {
  const Member* member = FindMember(normalised_name);
  if (member == nullptr) {
    g_last_result = UNZ_END_OF_LIST_OF_FILE;
    return false;
  }
  if (member->uncompressed_size > kMaxMemberSize) {
    g_last_result = UNZ_BADZIPFILE;
    return false;
  }
  std::string data(static_cast<size_t>(member->uncompressed_size), '\0');
  char none = 0;
  if (!ReadInto(*member, data.empty() ? &none : &data[0])) return false;
  bytes->swap(data);
  return true;
}

std::vector<std::string> SkinArchive::MemberNames() const {
  std::vector<std::string> names;
  names.reserve(members_.size());
  for (const Member& member : members_) names.push_back(SanitiseMemberName(member.name));
  return names;
}

int SkinArchive::LastResult() { return g_last_result; }

std::string SkinArchive::SanitiseMemberName(const std::string& stored_name) {
  std::string name = stored_name;
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
    name.erase(0, 2);
  }
  const size_t first = name.find_first_not_of("/\\");
  name.erase(0, first == std::string::npos ? name.size() : first);
  // Cut everything up to the last parent step. A leading separator is
  // assumed, so that a name starting with "../" is cut as well.
  const std::string probe = "/" + name;
  size_t cut = std::string::npos;
  for (size_t i = probe.size(); i-- > 0;) {
    const bool sep_before = probe[i] == '/' || probe[i] == '\\';
    if (sep_before && i + 3 < probe.size() && probe[i + 1] == '.' && probe[i + 2] == '.' &&
        (probe[i + 3] == '/' || probe[i + 3] == '\\')) {
      cut = i + 4;
      break;
    }
  }
  if (cut != std::string::npos) name = probe.substr(cut);
  return name;
}

SkinArchive* OpenSkinArchive(const void* data, size_t size, const std::string& password) {
  // The old archive goes first, even when the new data turns out unusable.
  CloseSkinArchive();
  ProcessArchive() = SkinArchive::Open(data, size, password);
  return ProcessArchive().get();
}

void CloseSkinArchive() { ProcessArchive().reset(); }

SkinArchive* GetSkinArchive() { return ProcessArchive().get(); }

HGLOBAL ReadArchiveMember(const std::wstring& path) {
  SkinArchive* archive = GetSkinArchive();
  if (archive == nullptr || path.empty()) return nullptr;
  return archive->ReadMember(NormaliseArchiveName(path));
}

bool ReadArchiveMember(const std::wstring& path, std::string* bytes) {
  SkinArchive* archive = GetSkinArchive();
  if (archive == nullptr || path.empty() || bytes == nullptr) return false;
  return archive->ReadMember(NormaliseArchiveName(path), bytes);
}

std::string NormaliseArchiveName(const std::wstring& path) {
  std::wstring name(path);
  std::replace(name.begin(), name.end(), L'\\', L'/');
  std::wstring out;
  out.reserve(name.size());
  size_t i = 0;
  while (i < name.size()) {
    if (out.empty() || out.back() == L'/') {
      if (name[i] == L'/') {
        ++i;
        continue;
      }
      if (name.compare(i, 2, L"./") == 0) {
        i += 2;
        continue;
      }
      if (name.compare(i, 3, L"../") == 0) {
        i += 3;
        if (!out.empty()) out.pop_back();
        const size_t slash = out.rfind(L'/');
        out.erase(slash == std::wstring::npos ? 0 : slash + 1);
        continue;
      }
    }
    out.push_back(name[i++]);
  }
  if (out.empty()) return std::string();
  std::string utf8 = nbase::WideToUtf8(out);
  if (utf8.size() > kMaxNormalisedBytes) {
    size_t cut = kMaxNormalisedBytes;
    // Never leave half a character behind.
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    utf8.resize(cut);
  }
  return utf8;
}

}  // namespace ui
