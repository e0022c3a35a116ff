#include "archive/zip/zip_result.h"

namespace archive::zip {

const char* describe(ZipError error) {
  switch (error) {
    case ZipError::OpenFailed: return "the archive cannot be opened";
    case ZipError::ReadFailed: return "a read failed or ended early";
    case ZipError::NoEndRecord: return "no end-of-central-directory record";
    case ZipError::BadEndRecord: return "an inconsistent end-of-central-directory record";
    case ZipError::BadCentralEntry: return "a central entry without its signature";
    case ZipError::BadLocalHeader: return "a local header that does not match its central entry";
    case ZipError::UnsupportedMethod: return "a compression method other than stored and deflated";
    case ZipError::OverlappingData: return "entry data overlapping other data";
    case ZipError::NoSuchEntry: return "no entry of that index";
    case ZipError::InflateFailed: return "a damaged deflate stream";
    case ZipError::ShortData: return "data shorter than the declared size";
    case ZipError::CrcMismatch: return "content that does not match its CRC-32";
    case ZipError::PathRefused: return "a name outside the target directory";
    case ZipError::PathTooLong: return "a path longer than 259 bytes";
    case ZipError::CreateFailed: return "a file or directory that cannot be created";
    case ZipError::WriteFailed: return "a write failed";
  }
  return "unknown";
}

}  // namespace archive::zip
