#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/zip/archive_source.h"
#include "archive/zip/zip_result.h"

struct z_stream_s;

namespace archive::zip {

// Where an entry's data lies and what it must turn into.
struct EntryData {
  uint16_t method = 0;  // stored or deflated
  uint64_t position = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  uint32_t crc32 = 0;
};

// Reads the content of one entry: stored bytes as they are, deflated ones
// through a raw inflate stream, never more than the declared size.
class EntryReader {
 public:
  // `input` is the buffer of compressed bytes, which the reader sizes and
  // uses until it is destroyed.
  static ZipResult<std::unique_ptr<EntryReader>> open(const ArchiveSource& source, const EntryData& data,
                                                      std::vector<uint8_t>& input);
  ~EntryReader();
  EntryReader(const EntryReader&) = delete;
  EntryReader& operator=(const EntryReader&) = delete;

  // Up to `capacity` bytes of content; 0 once it has all been produced or
  // the data ended before it.
  ZipResult<size_t> read(uint8_t* out, size_t capacity);
  // Once read returned 0: whether the content had its declared size and CRC-32.
  ZipStatus finish() const;

 private:
  enum class State { Reading, Complete, Ended, Failed };

  EntryReader(const ArchiveSource& source, const EntryData& data, std::vector<uint8_t>& input);
  ZipStatus fill_input();
  // One step of producing bytes into out[0, space): how many it made.
  ZipResult<size_t> read_stored(uint8_t* out, size_t space);
  ZipResult<size_t> inflate_into(uint8_t* out, size_t space);
  ZipResult<size_t> fail(ZipError error);

  const ArchiveSource& m_source;
  const EntryData m_data;
  State m_state = State::Reading;
  ZipError m_error = ZipError::ReadFailed;

  std::vector<uint8_t>& m_input;
  size_t m_input_at = 0;
  size_t m_input_available = 0;
  uint64_t m_next_position;
  uint32_t m_compressed_left;
  uint32_t m_uncompressed_left;
  uint32_t m_crc = 0;
  std::unique_ptr<z_stream_s> m_stream;
};

}  // namespace archive::zip
