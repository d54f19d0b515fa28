// A small data file declaration with a key of every kind, for the record-file tests and the
// second-station program.
#pragma once

#include "runtime/records/file_declaration.h"

namespace testing_support {

// Fields: 1 CODE ULONG, 2 NAME STRING(6), 3 AMOUNT DECIMAL(3,1), 4 SIGNED LONG, 5 TAG STRING(3),
// 6 SMALL SHORT, 7 FLAG BYTE; 23 bytes. Keys: 0 CODE (unique, primary), 1 NAME+SIGNED desc
// (case-insensitive), 2 AMOUNT+SMALL (excludes empty), 3 TAG+FLAG desc (unique, excludes empty),
// 4 SIGNED desc.
enum SampleField { kCode = 1, kName, kAmount, kSigned, kTag, kSmall, kFlag };
enum SampleKey { kCodeKey = 0, kNameKey, kAmountKey, kTagKey, kSignedKey };

const runtime::FileDeclaration& SampleDeclaration();

}  // namespace testing_support
