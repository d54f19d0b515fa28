#include "runtime/values/field_ref.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/base/error_codes.h"

namespace runtime {
namespace {

// A packed record like the data files keep: BYTE at 0, USHORT at 1, LONG at 3 (unaligned),
// DECIMAL(5,2) at 7, STRING(6) at 10; 16 bytes.
struct PackedRecord {
  char bytes[16] = {};
  FieldRef byte() { return FieldRef::Bytes(bytes + 0, ValueType::Byte, 1); }
  FieldRef ushort() { return FieldRef::Bytes(bytes + 1, ValueType::UShort, 2); }
  FieldRef lng() { return FieldRef::Bytes(bytes + 3, ValueType::Long, 4); }
  FieldRef decimal() { return FieldRef::Bytes(bytes + 7, ValueType::Decimal, 3, 2); }
  FieldRef string() { return FieldRef::Bytes(bytes + 10, ValueType::String, 6); }
};

TEST(FieldRefTest, UnalignedFieldsReadAndWriteLittleEndian) {
  PackedRecord record;
  ASSERT_TRUE(record.lng().SetInteger(-2).ok());
  EXPECT_EQ(std::memcmp(record.bytes + 3, "\xFE\xFF\xFF\xFF", 4), 0);
  EXPECT_EQ(record.lng().GetInteger(), -2);
  ASSERT_TRUE(record.ushort().SetInteger(0x1234).ok());
  EXPECT_EQ(record.bytes[1], 0x34);
  EXPECT_EQ(record.ushort().GetText(), "4660");
}

TEST(FieldRefTest, CompareByValueAcrossTypes) {
  PackedRecord record;
  uint16_t ushort = 7;
  int32_t long_value = 7;
  std::string text = " 7.00 ";
  ASSERT_TRUE(record.byte().SetInteger(7).ok());
  ASSERT_TRUE(record.decimal().SetText("7").ok());
  EXPECT_TRUE(record.byte().Equals(FieldRef::Of(&ushort)));
  EXPECT_TRUE(record.byte().Equals(record.decimal()));
  EXPECT_TRUE(FieldRef::Of(&long_value).Equals(FieldRef::Of(&text)));
  ushort = 300;
  EXPECT_LT(FieldRef::Compare(record.byte(), FieldRef::Of(&ushort)), 0);

  // Texts compare without trailing blanks; a text that is no number against a number as texts.
  std::string word = "abc";
  ASSERT_TRUE(record.string().SetText("abc").ok());
  EXPECT_TRUE(record.string().Equals(FieldRef::Of(&word)));
  word = "abd";
  EXPECT_LT(FieldRef::Compare(record.string(), FieldRef::Of(&word)), 0);
  EXPECT_GT(FieldRef::Compare(FieldRef::Of(&word), record.byte()), 0);  // "abd" > "7"
}

TEST(FieldRefTest, AssignConvertsAndRefusesWhatDoesNotFit) {
  PackedRecord record;
  uint16_t big = 300;
  ASSERT_TRUE(record.byte().SetInteger(9).ok());
  Status status = record.byte().Assign(FieldRef::Of(&big));
  EXPECT_EQ(status.code(), kOutOfRange);
  EXPECT_EQ(record.byte().GetInteger(), 9);  // unchanged, never wrapped to 44

  Decimal amount(-12345, 2);  // -123.45
  ASSERT_TRUE(record.decimal().SetDecimal(amount).ok());
  ASSERT_TRUE(record.lng().Assign(record.decimal()).ok());
  EXPECT_EQ(record.lng().GetInteger(), -123);  // cut toward zero
  EXPECT_EQ(record.string().Assign(record.decimal()).code(), kOutOfRange);
  EXPECT_EQ(record.string().GetText(), "-123.4");  // cut to the STRING(6), and said so
  EXPECT_EQ(record.decimal().SetDecimal(Decimal(1000, 0)).code(), kOutOfRange);
  EXPECT_EQ(record.decimal().GetText(), "-123.45");

  std::string text = "12x";
  EXPECT_EQ(record.lng().Assign(FieldRef::Of(&text)).code(), kNotANumber);
  EXPECT_EQ(record.lng().GetInteger(), 0);

  char name[4] = {};
  EXPECT_EQ(FieldRef::Of(&name).SetText("abcdef").code(), kOutOfRange);
  EXPECT_EQ(std::string(name), "abc");
}

TEST(FieldRefTest, ClearGivesZeroLowestAndHighest) {
  PackedRecord record;
  struct Case {
    const char* id;
    FieldRef ref;
    std::string lowest, zero, highest;
  } cases[] = {
      {"byte", record.byte(), "0", "0", "255"},
      {"ushort", record.ushort(), "0", "0", "65535"},
      {"long", record.lng(), "-2147483648", "0", "2147483647"},
      {"decimal", record.decimal(), "-999.99", "0", "999.99"},
  };
  for (const Case& c : cases) {
    c.ref.Clear(ClearTo::Lowest);
    EXPECT_EQ(c.ref.GetText(), c.lowest) << c.id;
    c.ref.Clear();
    EXPECT_EQ(c.ref.GetText(), c.zero) << c.id;
    c.ref.Clear(ClearTo::Highest);
    EXPECT_EQ(c.ref.GetText(), c.highest) << c.id;
  }
  record.string().Clear();
  EXPECT_EQ(record.string().GetText(), "      ");
}

TEST(FieldRefTest, OwnedValueKeepsItsStorageAcrossMoves) {
  PackedRecord record;
  ASSERT_TRUE(record.decimal().SetText("-12.5").ok());
  OwnedValue buffer = OwnedValue::Like(record.decimal());
  EXPECT_EQ(buffer.ref().GetText(), "0");  // cleared, the original untouched
  EXPECT_EQ(record.decimal().GetText(), "-12.5");
  ASSERT_TRUE(buffer.ref().Assign(record.decimal()).ok());
  OwnedValue moved = std::move(buffer);
  EXPECT_EQ(moved.ref().GetText(), "-12.5");
  EXPECT_EQ(moved.ref().type(), ValueType::Decimal);

  OwnedValue text = OwnedValue::OfText("abc");
  OwnedValue other = std::move(text);
  EXPECT_EQ(other.ref().GetText(), "abc");
  EXPECT_TRUE(FieldRef().null());
  EXPECT_EQ(FieldRef().GetInteger(), 0);
}

}  // namespace
}  // namespace runtime
