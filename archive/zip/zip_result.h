#pragma once

#include <utility>
#include <variant>

// Results of the archive reader: a value or the reason it could not be had.
// The unpack command only tells success from failure; the reasons are for
// the tests and for whoever reads a failure in a debugger.
namespace archive::zip {

enum class ZipError {
  OpenFailed,         // the source cannot be opened
  ReadFailed,         // a read error, or fewer bytes than a structure needs
  NoEndRecord,        // no end-of-central-directory record
  BadEndRecord,       // several disks, counts that differ, a directory past the record
  BadCentralEntry,    // a central entry without its signature
  BadLocalHeader,     // a local header that does not match its central entry
  UnsupportedMethod,  // neither stored (0) nor deflated (8)
  OverlappingData,    // the entry's data overlaps another entry or the central directory
  NoSuchEntry,        // an index outside the archive
  InflateFailed,      // a damaged deflate stream
  ShortData,          // the entry's data ended before its declared size
  CrcMismatch,        // the produced bytes do not have the stored CRC-32
  PathRefused,        // a name that would lead outside the target, or one too long
  PathTooLong,        // an output path over 259 bytes
  CreateFailed,       // an output file or directory that cannot be created
  WriteFailed,
};

const char* describe(ZipError error);

template <class T>
class [[nodiscard]] ZipResult {
 public:
  ZipResult(T value) : m_value(std::move(value)) {}  // NOLINT: a value converts implicitly
  ZipResult(ZipError error) : m_value(error) {}      // NOLINT: so does an error

  bool ok() const { return m_value.index() == 0; }
  explicit operator bool() const { return ok(); }
  ZipError error() const { return std::get<1>(m_value); }
  T& value() { return std::get<0>(m_value); }
  const T& value() const { return std::get<0>(m_value); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }

 private:
  std::variant<T, ZipError> m_value;
};

// A result without a value.
struct Done {};
using ZipStatus = ZipResult<Done>;
inline ZipStatus done() { return Done{}; }

}  // namespace archive::zip

// Early returns: ZIP_TRY(expression) passes a failure on to the caller;
// ZIP_TRY_ASSIGN(name, expression) declares `name` with the value.
#define ZIP_TRY(expression)                                  \
  do {                                                       \
    auto zip_try_result = (expression);                      \
    if (!zip_try_result.ok()) return zip_try_result.error(); \
  } while (0)

#define ZIP_TRY_ASSIGN(name, expression)                 \
  auto name##_result = (expression);                     \
  if (!name##_result.ok()) return name##_result.error(); \
  auto& name = name##_result.value()
