// The key encoder: the exact bytes of every kind of key component. Indexes of existing data files
// hold these bytes, so they must never change: a key encoded otherwise would no longer find the
// records of those files.

#include "runtime/records/key_encoder.h"

#include <cstring>
#include <string>

#include "runtime/base/error_codes.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using namespace testing_support;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 0x0F]);
  }
  return hex;
}

void PutLittleEndian(std::string* record, int offset, int size, int64_t value) {
  for (int i = 0; i < size; ++i) {
    (*record)[offset + i] = static_cast<char>(static_cast<uint64_t>(value) >> (8 * i));
  }
}

// Sample records (layout in tests/sample_file.h) and the record numbers they are encoded with.
struct SampleRecord {
  std::string bytes;
  int64_t number;
};

SampleRecord Record(int id) {
  std::string r(23, '\0');
  std::memset(&r[4], ' ', 6);
  std::memset(&r[17], ' ', 3);
  switch (id) {
    case 0:  // ordinary values: a negative amount, lower case with an accent
      PutLittleEndian(&r, 0, 4, 7);
      std::memcpy(&r[4], "ana\xE9", 4);
      std::memcpy(&r[10], "\x01\x25\x0D", 3);  // -12.50
      PutLittleEndian(&r, 13, 4, -3);
      std::memcpy(&r[17], "ab", 2);
      PutLittleEndian(&r, 20, 2, -2);
      r[22] = 9;
      return {r, 42};
    case 1:  // cleared: every key that leaves out empty values leaves it out
      return {r, 5};
    case 2:  // the highest values
      PutLittleEndian(&r, 0, 4, 4294967295LL);
      std::memcpy(&r[4], "\xE7Z z", 4);
      std::memcpy(&r[10], "\x00\x99\x90", 3);  // 99.9
      PutLittleEndian(&r, 13, 4, 2147483647);
      std::memcpy(&r[17], "xyz", 3);
      PutLittleEndian(&r, 20, 2, 32767);
      r[22] = static_cast<char>(255);
      return {r, int64_t{1} << 40};
    default:  // the lowest values, and a negative zero amount, which is zero
      r[12] = 0x0D;
      PutLittleEndian(&r, 13, 4, -2147483648LL);
      PutLittleEndian(&r, 20, 2, -32768);
      return {r, 3};
  }
}

TEST(KeyEncoderTest, EveryKindOfComponentEncodesToItsStoredBytes) {
  struct Case {
    const char* id;
    int record;
    int key;
    const char* encoded;  // with the record number where the key has one
    bool excluded;
    const char* prefix;
  };
  const Case kCases[] = {
      {"unique-ulong", 0, kCodeKey, "00000007", false, "00000007"},
      {"nocase-text-desc-long", 0, kNameKey, "414e41c9202080000002000000000000002a", false,
       "414e41c9202080000002"},
      {"negative-decimal-short", 0, kAmountKey, "0009080704097ffe000000000000002a", false,
       "0009080704097ffe"},
      {"text-desc-byte", 0, kTagKey, "616220f6", false, "616220f6"},
      {"desc-long", 0, kSignedKey, "80000002000000000000002a", false, "80000002"},
      {"cleared-unique", 1, kCodeKey, "00000000", false, "00000000"},
      {"cleared-name", 1, kNameKey, "2020202020207fffffff0000000000000005", false,
       "2020202020207fffffff"},
      {"cleared-amount-excluded", 1, kAmountKey, "01000000000080000000000000000005", true,
       "0100000000008000"},
      {"cleared-tag-excluded", 1, kTagKey, "202020ff", true, "202020ff"},
      {"cleared-signed", 1, kSignedKey, "7fffffff0000000000000005", false, "7fffffff"},
      {"highest-ulong", 2, kCodeKey, "ffffffff", false, "ffffffff"},
      {"highest-name-upper-cased", 2, kNameKey, "c75a205a2020000000000000010000000000", false,
       "c75a205a202000000000"},
      {"highest-amount", 2, kAmountKey, "010000090909ffff0000010000000000", false,
       "010000090909ffff"},
      {"highest-tag", 2, kTagKey, "78797a00", false, "78797a00"},
      {"highest-signed", 2, kSignedKey, "000000000000010000000000", false, "00000000"},
      {"lowest-name", 3, kNameKey, "202020202020ffffffff0000000000000003", false,
       "202020202020ffffffff"},
      {"negative-zero-amount", 3, kAmountKey, "01000000000000000000000000000003", false,
       "0100000000000000"},
      {"lowest-signed", 3, kSignedKey, "ffffffff0000000000000003", false, "ffffffff"},
  };
  const KeyEncoder encoder(SampleDeclaration());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    const SampleRecord record = Record(c.record);
    std::string encoded = "reused and longer than any key of the sample";
    bool excluded = !c.excluded;
    ASSERT_OK(encoder.Encode(c.key, record.bytes, record.number, &encoded, &excluded));
    EXPECT_EQ(Hex(encoded), c.encoded);
    EXPECT_EQ(excluded, c.excluded);
    EXPECT_EQ(encoder.size(c.key), encoded.size());
    std::string prefix;
    ASSERT_OK(encoder.EncodePrefix(c.key, record.bytes, &prefix));
    EXPECT_EQ(Hex(prefix), c.prefix);
    // Into a buffer of its size, as the key function does.
    std::string direct(encoder.size(c.key), '?');
    ASSERT_OK(encoder.Encode(c.key, record.bytes, record.number, direct.data(), &excluded));
    EXPECT_EQ(Hex(direct), c.encoded);
  }
}

TEST(KeyEncoderTest, AmountThatIsNoPackedDecimalIsInvalidDataAndLeavesNoKey) {
  const KeyEncoder encoder(SampleDeclaration());
  SampleRecord record = Record(0);
  record.bytes[11] = static_cast<char>(0x2A);  // a half-byte of 10
  std::string encoded = "old";
  bool excluded = false;
  Status status = encoder.Encode(kAmountKey, record.bytes, record.number, &encoded, &excluded);
  EXPECT_EQ(status.code(), kInvalidData);
  EXPECT_NE(status.message().find("SAM:AMOUNT"), std::string::npos) << status.message();
  EXPECT_TRUE(encoded.empty());
  status = encoder.EncodePrefix(kAmountKey, record.bytes, &encoded);
  EXPECT_EQ(status.code(), kInvalidData);
  EXPECT_TRUE(encoded.empty());
  // Keys without the field are not concerned.
  EXPECT_OK(encoder.Encode(kCodeKey, record.bytes, record.number, &encoded, &excluded));
}

}  // namespace
}  // namespace runtime
