// Builds zip archives in memory for the archive tests, including damaged
// ones: wrong declared sizes, hostile names, cut-off data.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skin_test {

struct ZipEntry {
  std::string name;
  std::string data;
  bool deflate = false;
  // When set, written into both headers instead of the real sizes.
  bool override_size = false;
  uint32_t declared_size = 0;
};

class ZipBuilder {
 public:
  void Add(const std::string& name, const std::string& data, bool deflate = false) {
    ZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.deflate = deflate;
    entries_.push_back(entry);
  }
  void Add(const ZipEntry& entry) { entries_.push_back(entry); }

  std::string Build() const {
    std::string out;
    std::string directory;
    for (const ZipEntry& entry : entries_) {
      const std::string payload = entry.deflate ? Deflate(entry.data) : entry.data;
      const uint32_t crc =
          static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                      static_cast<uInt>(entry.data.size())));
      const uint32_t size =
          entry.override_size ? entry.declared_size : static_cast<uint32_t>(entry.data.size());
      const uint32_t offset = static_cast<uint32_t>(out.size());
      const uint16_t method = entry.deflate ? 8 : 0;

      Put32(&out, 0x04034b50);
      Put16(&out, 20);
      Put16(&out, 0);
      Put16(&out, method);
      Put16(&out, 0);     // time
      Put16(&out, 0x21);  // date 1980-01-01
      Put32(&out, crc);
      Put32(&out, static_cast<uint32_t>(payload.size()));
      Put32(&out, size);
      Put16(&out, static_cast<uint16_t>(entry.name.size()));
      Put16(&out, 0);
      out += entry.name;
      out += payload;

      Put32(&directory, 0x02014b50);
      Put16(&directory, 20);
      Put16(&directory, 20);
      Put16(&directory, 0);
      Put16(&directory, method);
      Put16(&directory, 0);
      Put16(&directory, 0x21);
      Put32(&directory, crc);
      Put32(&directory, static_cast<uint32_t>(payload.size()));
      Put32(&directory, size);
      Put16(&directory, static_cast<uint16_t>(entry.name.size()));
      Put16(&directory, 0);
      Put16(&directory, 0);
      Put16(&directory, 0);
      Put16(&directory, 0);
      Put32(&directory, 0);
      Put32(&directory, offset);
      directory += entry.name;
    }
    const uint32_t directory_offset = static_cast<uint32_t>(out.size());
    out += directory;
    Put32(&out, 0x06054b50);
    Put16(&out, 0);
    Put16(&out, 0);
    Put16(&out, static_cast<uint16_t>(entries_.size()));
    Put16(&out, static_cast<uint16_t>(entries_.size()));
    Put32(&out, static_cast<uint32_t>(directory.size()));
    Put32(&out, directory_offset);
    Put16(&out, 0);
    return out;
  }

  static std::string Deflate(const std::string& data) {
    z_stream stream = {};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
  }

 private:
  static void Put16(std::string* out, uint16_t v) {
    out->push_back(static_cast<char>(v & 0xff));
    out->push_back(static_cast<char>(v >> 8));
  }
  static void Put32(std::string* out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xffff));
    Put16(out, static_cast<uint16_t>(v >> 16));
  }

  std::vector<ZipEntry> entries_;
};

}  // namespace skin_test
