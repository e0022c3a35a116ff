#include "archive/tests/zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace zip_test {
namespace {

void put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

uint32_t next_random(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

uint32_t dos_time(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
  const uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
  const uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
  return (date << 16) | time;
}

std::string raw_deflate(const std::string& content) {
  z_stream stream = {};
  if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&stream, content.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

uint32_t crc_of(const std::string& content) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
}

std::string ut_block(uint32_t mtime, std::optional<uint32_t> atime, std::optional<uint32_t> ctime) {
  std::string times;
  uint8_t flags = 1;
  put32(times, mtime);
  if (atime) {
    flags |= 2;
    put32(times, *atime);
  }
  if (ctime) {
    flags |= 4;
    put32(times, *ctime);
  }
  std::string block = "UT";
  put16(block, static_cast<uint32_t>(1 + times.size()));
  block += static_cast<char>(flags);
  return block + times;
}

std::string build_archive(const TestArchive& archive) {
  std::string out = archive.prefix;
  const size_t base = archive.prefix.size();
  std::string central;
  std::vector<uint32_t> offsets;
  for (const TestEntry& entry : archive.entries) {
    const std::string data = entry.method == 8 ? raw_deflate(entry.content) : entry.content;
    const uint32_t crc = entry.declared_crc.value_or(crc_of(entry.content));
    const uint32_t size = entry.declared_size.value_or(static_cast<uint32_t>(entry.content.size()));
    const uint16_t flags = entry.data_descriptor ? 0x0008 : 0;
    uint32_t offset;
    if (entry.share_local_header_of) {
      offset = offsets.at(*entry.share_local_header_of);
    } else {
      offset = static_cast<uint32_t>(out.size() - base);
      put32(out, 0x04034B50);
      put16(out, 20);
      put16(out, flags);
      put16(out, entry.local_method.value_or(entry.method));
      put32(out, entry.dos);
      put32(out, entry.data_descriptor ? 0 : entry.local_crc.value_or(crc));
      put32(out, entry.data_descriptor ? 0 : static_cast<uint32_t>(data.size()));
      put32(out, entry.data_descriptor ? 0 : size);
      put16(out, entry.local_name_length.value_or(static_cast<uint16_t>(entry.name.size())));
      put16(out, static_cast<uint32_t>(entry.local_extra.size()));
      out += entry.name + entry.local_extra + data;
      if (entry.data_descriptor) {
        put32(out, 0x08074B50);
        put32(out, crc);
        put32(out, static_cast<uint32_t>(data.size()));
        put32(out, size);
      }
    }
    offsets.push_back(offset);
    const std::string& shared =
        entry.share_local_header_of ? archive.entries[*entry.share_local_header_of].content : entry.content;
    const std::string stored = entry.method == 8 ? raw_deflate(shared) : shared;
    put32(central, 0x02014B50);
    put16(central, (3 << 8) | 20);
    put16(central, 20);
    put16(central, flags);
    put16(central, entry.method);
    put32(central, entry.dos);
    put32(central, crc);
    put32(central, static_cast<uint32_t>(stored.size()));
    put32(central, size);
    put16(central, static_cast<uint32_t>(entry.name.size()));
    put16(central, 0);  // extra
    put16(central, 0);  // comment
    put16(central, 0);  // disk
    put16(central, 0);  // internal attributes
    put32(central, entry.external);
    put32(central, offset);
    central += entry.name;
  }
  const uint32_t directory_offset = static_cast<uint32_t>(out.size() - base);
  out += central;
  const auto count = static_cast<uint16_t>(archive.entries.size());
  put32(out, 0x06054B50);
  put16(out, archive.disk);
  put16(out, archive.disk);
  put16(out, archive.entries_on_disk.value_or(count));
  put16(out, count);
  put32(out, static_cast<uint32_t>(central.size()));
  put32(out, directory_offset);
  put16(out, static_cast<uint32_t>(archive.comment.size()));
  return out + archive.comment;
}

std::string text_content(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"server ",  "engine ", "plug-in ", "map ",  "gate ",    "login ",
                                       "monster ", "item ",   "\r\n",     "0.25 ", "[Setup] ", "= "};
  uint32_t state = seed * 2654435761u + 1;
  std::string out;
  out.reserve(size + 16);
  while (out.size() < size) out += kWords[next_random(state) % (sizeof kWords / sizeof kWords[0])];
  out.resize(size);
  return out;
}

std::string random_content(size_t size, uint32_t seed) {
  uint32_t state = seed * 2654435761u + 7;
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(next_random(state) >> 24);
  return out;
}

}  // namespace zip_test
