// Reading one entry's content.
//
//            open
//   ─────────────────► Reading ◄──┐ read: bytes produced, some still due
//                       │  └──────┘
//                       ├── the declared size produced ─────────────► Complete
//                       ├── stored data or deflate stream ends early ─► Ended
//                       └── read error or damaged deflate stream ─────► Failed
//
// Complete, Ended and Failed are final. finish() accepts only Complete with
// the stored CRC-32: content that ended early or differs from what was
// stored is an error, not a file to install.
#include "archive/zip/entry_reader.h"

#include <zlib.h>

#include <algorithm>

#include "archive/zip/central_entry.h"

namespace archive::zip {
namespace {

constexpr size_t kInputBufferSize = 256 * 1024;

}  // namespace

EntryReader::EntryReader(const ArchiveSource& source, const EntryData& data, std::vector<uint8_t>& input)
    : m_source(source),
      m_data(data),
      m_input(input),
      m_next_position(data.position),
      m_compressed_left(data.compressed_size),
      m_uncompressed_left(data.uncompressed_size) {}

EntryReader::~EntryReader() {
  if (m_stream) inflateEnd(m_stream.get());
}

ZipResult<std::unique_ptr<EntryReader>> EntryReader::open(const ArchiveSource& source, const EntryData& data,
                                                          std::vector<uint8_t>& input) {
  if (data.method != kMethodStored && data.method != kMethodDeflated) return ZipError::UnsupportedMethod;
  std::unique_ptr<EntryReader> reader(new EntryReader(source, data, input));
  if (data.method == kMethodDeflated) {
    auto stream = std::make_unique<z_stream_s>();
    // Raw deflate data: no zlib header, a 32 KiB window.
    if (inflateInit2(stream.get(), -MAX_WBITS) != Z_OK) return ZipError::InflateFailed;
    reader->m_stream = std::move(stream);
    // Grown to what the largest entry so far needed, up to its full size.
    const size_t wanted = std::min<size_t>(kInputBufferSize, data.compressed_size);
    if (input.size() < wanted) input.resize(wanted);
  }
  if (data.uncompressed_size == 0) reader->m_state = State::Complete;
  return reader;
}

ZipResult<size_t> EntryReader::read(uint8_t* out, size_t capacity) {
  switch (m_state) {
    case State::Complete:
    case State::Ended: return size_t{0};
    case State::Failed: return m_error;
    case State::Reading: break;
  }
  const size_t wanted = std::min<size_t>(capacity, m_uncompressed_left);
  size_t produced = 0;
  while (produced < wanted && m_state == State::Reading) {
    if (m_stream && m_input_available == 0 && m_compressed_left > 0) {
      const auto filled = fill_input();
      if (!filled) return fail(filled.error());
    }
    const auto step =
        m_stream ? inflate_into(out + produced, wanted - produced) : read_stored(out + produced, wanted - produced);
    if (!step) return step;
    produced += *step;
  }
  m_crc = static_cast<uint32_t>(crc32(m_crc, out, static_cast<uInt>(produced)));
  m_uncompressed_left -= static_cast<uint32_t>(produced);
  if (m_uncompressed_left == 0) m_state = State::Complete;
  return produced;
}

ZipStatus EntryReader::finish() const {
  switch (m_state) {
    case State::Complete: return m_crc == m_data.crc32 ? done() : ZipStatus(ZipError::CrcMismatch);
    case State::Ended: return ZipError::ShortData;
    case State::Failed: return m_error;
    case State::Reading: break;
  }
  return ZipError::ShortData;  // not read to its end
}

ZipStatus EntryReader::fill_input() {
  const size_t size = std::min<size_t>(m_compressed_left, m_input.size());
  ZIP_TRY(m_source.read_exact(m_next_position, m_input.data(), size));
  m_next_position += size;
  m_compressed_left -= static_cast<uint32_t>(size);
  m_input_at = 0;
  m_input_available = size;
  return done();
}

ZipResult<size_t> EntryReader::read_stored(uint8_t* out, size_t space) {
  // Stored bytes go straight to the caller, without the input buffer.
  if (m_compressed_left == 0) {
    m_state = State::Ended;
    return size_t{0};
  }
  const auto read = m_source.read_some(m_next_position, out, std::min<size_t>(space, m_compressed_left));
  if (!read) return fail(read.error());
  if (*read == 0) return fail(ZipError::ReadFailed);  // the file ends inside the data
  m_next_position += *read;
  m_compressed_left -= static_cast<uint32_t>(*read);
  return *read;
}

ZipResult<size_t> EntryReader::inflate_into(uint8_t* out, size_t space) {
  z_stream_s& stream = *m_stream;
  stream.next_in = m_input.data() + m_input_at;
  stream.avail_in = static_cast<uInt>(m_input_available);
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(space);
  const int status = inflate(&stream, Z_SYNC_FLUSH);
  const size_t consumed = m_input_available - stream.avail_in;
  const size_t made = space - stream.avail_out;
  m_input_at += consumed;
  m_input_available -= consumed;

  switch (status) {
    case Z_OK: return made;
    case Z_STREAM_END:
      if (made < space) m_state = State::Ended;  // unless it ended exactly at the declared size
      return made;
    case Z_BUF_ERROR:
      // No progress: more input is needed. None left means the data ended.
      if (m_input_available == 0 && m_compressed_left == 0) m_state = State::Ended;
      if (m_input_available == 0) return made;
      break;
    default: break;
  }
  m_error = ZipError::InflateFailed;
  m_state = State::Failed;
  return ZipError::InflateFailed;
}

ZipResult<size_t> EntryReader::fail(ZipError error) {
  m_error = error;
  m_state = State::Failed;
  return error;
}

}  // namespace archive::zip
