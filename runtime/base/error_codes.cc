#include "runtime/base/error_codes.h"

namespace runtime {

std::string_view ErrorText(int code) {
  switch (code) {
    case kNoError:
      return "No error";
    case kFileNotFound:
      return "File not found";
    case kPathNotFound:
      return "Path not found";
    case kAccessDenied:
      return "Access denied";
    case kFileLocked:
      return "File is locked by another station";
    case kRecordNotAvailable:
      return "Record not available";
    case kRecordNotFound:
      return "Record not found";
    case kFileNotOpen:
      return "File not open";
    case kDuplicateKey:
      return "Creates duplicate key";
    case kRecordHeld:
      return "Record is already held";
    case kInvalidFileName:
      return "Invalid file name";
    case kKeysNeedRebuild:
      return "Keys must be rebuilt";
    case kLayoutMismatch:
      return "Stored layout differs from the declaration";
    case kFileAlreadyOpen:
      return "File already open";
    case kNotSupported:
      return "Operation not supported";
    case kRecordChanged:
      return "Record changed by another station";
    case kEngineError:
      return "Storage engine error";
    case kNotADataFile:
      return "Not a data file of this program, or damaged";
    case kInvalidData:
      return "Invalid data";
    case kInvalidArgument:
      return "Invalid argument";
    case kOutOfRange:
      return "Value out of range";
    case kNotANumber:
      return "Not a number";
    case kWriteRefused:
      return "Write access refused";
  }
  return "Unknown error";
}

}  // namespace runtime
