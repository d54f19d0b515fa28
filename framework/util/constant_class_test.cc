// The constant-block walker: its four ways of ending, six item kinds and damaged blocks.
#include "framework/util/constant_class.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"

namespace framework {
namespace {

using runtime::FieldRef;
using runtime::OwnedValue;

// Builds a block the way a program's constant data lays it down.
class Block {
 public:
  Block& Byte(uint8_t value) {
    bytes_ += static_cast<char>(value);
    return *this;
  }
  Block& Word(uint16_t value) { return Byte(value & 0xFF).Byte(value >> 8); }
  Block& Long(int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return Word(bits & 0xFFFF).Word(bits >> 16);
  }
  Block& CString(std::string_view text) {
    bytes_ += text;
    return Byte(0);
  }
  Block& PString(std::string_view text) {
    Byte(static_cast<uint8_t>(text.size()));
    bytes_ += text;
    return *this;
  }
  Block& Raw(std::string_view text) {
    bytes_ += text;
    return *this;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

class ConstantClassTest : public ::testing::Test {
 protected:
  // Records of a name and a code, the shape of a small lookup table.
  void NameAndCode(ConstTermination mode) {
    walker_.Init(mode);
    walker_.AddItem(ConstItem::PString, FieldRef::Of(&name_));
    walker_.AddItem(ConstItem::UShort, FieldRef::Of(&code_));
  }
  size_t Reports() const { return recorder_.entries().size(); }

  runtime::AssertionRecorder recorder_;
  ConstantClass walker_;
  char name_[20] = {};
  uint16_t code_ = 0;
};

TEST_F(ConstantClassTest, DecodesEveryItemKind) {
  std::string cstring;
  std::string pstring;
  uint8_t byte = 0;
  int16_t shortv = 0;
  uint16_t ushortv = 0;
  int32_t longv = 0;
  int64_t widened = 0;
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&cstring));
  walker_.AddItem(ConstItem::PString, FieldRef::Of(&pstring));
  walker_.AddItem(ConstItem::Byte, FieldRef::Of(&byte));
  walker_.AddItem(ConstItem::Short, FieldRef::Of(&shortv));
  walker_.AddItem(ConstItem::UShort, FieldRef::Of(&ushortv));
  walker_.AddItem(ConstItem::Long, FieldRef::Of(&longv));
  walker_.AddItem(ConstItem::Long, FieldRef::Of(&widened));
  walker_.Set(Block()
                  .CString("Sal\xE1rio")
                  .PString("13\xBA")
                  .Byte(200)
                  .Word(0xFFFE)
                  .Word(65535)
                  .Long(-100000)
                  .Long(0x7FFFFFFF)
                  .bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(cstring, "Sal\xE1rio");
  EXPECT_EQ(pstring, "13\xBA");
  EXPECT_EQ(byte, 200);
  EXPECT_EQ(shortv, -2);
  EXPECT_EQ(ushortv, 65535);
  EXPECT_EQ(longv, -100000);
  EXPECT_EQ(widened, 0x7FFFFFFF);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);  // ended exactly on the record boundary
  EXPECT_EQ(Reports(), 0u);
}

TEST_F(ConstantClassTest, NumbersGoToTextAndTextToNumbers) {
  std::string text;
  int32_t number = 0;
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::Short, FieldRef::Of(&text));
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&number));
  walker_.Set(Block().Word(0xFF85).CString(" 42 ").bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(text, "-123");
  EXPECT_EQ(number, 42);
}

TEST_F(ConstantClassTest, EmptyStringsOfBothKinds) {
  std::string cstring = "x";
  std::string pstring = "x";
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&cstring));
  walker_.AddItem(ConstItem::PString, FieldRef::Of(&pstring));
  walker_.Set(Block().Byte(0).Byte(0).bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(cstring, "");
  EXPECT_EQ(pstring, "");
  EXPECT_EQ(walker_.CharPnt, 3);
}

TEST_F(ConstantClassTest, ByteCountOfZeroDeliversNothing) {
  NameAndCode(ConstTermination::ByteCount);
  walker_.Set(Block().Byte(0).PString("ignored").Word(1).bytes());
  EXPECT_EQ(walker_.Items, 0);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_TRUE(walker_.Complete);
  EXPECT_STREQ(name_, "");
}

TEST_F(ConstantClassTest, CountedBlockStaysExhaustedUntilReset) {
  NameAndCode(ConstTermination::UShortCount);
  walker_.Set(Block().Word(2).PString("Um").Word(1).PString("Dois").Word(2).bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_STREQ(name_, "Um");
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_STREQ(name_, "Dois");
  EXPECT_EQ(code_, 2);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  walker_.Reset();
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_STREQ(name_, "Um");
  EXPECT_EQ(Reports(), 0u);
}

TEST_F(ConstantClassTest, TerminatorRecordIsLeftOutWithTheRestOfItsItems) {
  NameAndCode(ConstTermination::Terminator);
  walker_.TerminatorValue = OwnedValue::OfText("FIM");
  walker_.Set(Block().PString("Um").Word(1).PString("FIM").Word(99).bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_STREQ(name_, "FIM");  // the terminating item itself is read
  EXPECT_EQ(code_, 1);         // the items after it are not
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
}

TEST_F(ConstantClassTest, TerminatorRecordIsDeliveredWhenIncluded) {
  NameAndCode(ConstTermination::Terminator);
  walker_.TerminatorField = 2;
  walker_.TerminatorInclude = true;
  walker_.TerminatorValue = OwnedValue::OfInteger(0);
  walker_.Set(
      Block().PString("Um").Word(1).PString("Fim").Word(0).PString("Depois").Word(5).bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_STREQ(name_, "Fim");
  EXPECT_TRUE(walker_.Complete);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_STREQ(name_, "Fim");
}

TEST_F(ConstantClassTest, InitClearsTheTerminatorValue) {
  walker_.TerminatorValue = OwnedValue::OfText("FIM");
  walker_.Init(ConstTermination::Terminator);
  EXPECT_EQ(walker_.TerminatorValue.ref().GetText(), "");
}

struct Row {
  char name[20];
  uint16_t code;
};

TEST_F(ConstantClassTest, NextIntoQueueAddsEveryRecordFromTheStart) {
  runtime::Queue<Row> queue;
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&queue.buffer().name));
  walker_.AddItem(ConstItem::UShort, FieldRef::Of(&queue.buffer().code));
  walker_.Set(Block().CString("a").Word(1).CString("b").Word(2).CString("c").Word(3).bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);  // Next(queue) starts over anyway
  walker_.Next(queue);
  ASSERT_EQ(queue.Records(), 3);
  EXPECT_STREQ(queue.row(1).name, "a");
  EXPECT_STREQ(queue.row(3).name, "c");
  EXPECT_EQ(queue.row(3).code, 3);
}

TEST_F(ConstantClassTest, SetKeepsItsOwnCopy) {
  NameAndCode(ConstTermination::Size);
  std::string source = Block().PString("Um").Word(1).bytes();
  walker_.Set(source);
  source.assign(source.size(), '\x7F');
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_STREQ(name_, "Um");
}

// Damaged blocks: each is reported, yields what it can and ends the walk without reading beyond
// the copy (the walker's copy is exactly the block's size, so the address sanitizer would see it).
struct DamagedCase {
  const char* id;
  ConstTermination mode;
  std::string block;
  int delivered;          // records delivered before the end
  const char* last_name;  // what the name holds at the end: a string cut off gives what is left
};

class ConstantClassDamageTest : public ConstantClassTest,
                                public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(ConstantClassDamageTest, EndsReportedWithinTheBlock) {
  const DamagedCase& c = GetParam();
  NameAndCode(c.mode);
  walker_.TerminatorValue = OwnedValue::OfText("FIM");
  walker_.Set(c.block);
  int delivered = 0;
  while (walker_.Next() == ConstantClass::kDelivered) {
    ASSERT_LT(++delivered, 100) << "the walk does not end";
  }
  EXPECT_EQ(delivered, c.delivered);
  EXPECT_STREQ(name_, c.last_name);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  ASSERT_GE(Reports(), 1u);
  EXPECT_EQ(recorder_.entries()[0].module, kUtilityModule);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ConstantClassDamageTest,
    ::testing::Values(
        DamagedCase{"SizeEndsInsideANumber", ConstTermination::Size,
                    Block().PString("Um").Word(1).PString("Dois").Byte(2).bytes(), 1, "Dois"},
        DamagedCase{"LengthRunsPastTheEnd", ConstTermination::Size,
                    Block().PString("Um").Word(1).Byte(9).Raw("Tre").bytes(), 1, "Tre"},
        DamagedCase{"LengthByteMissing", ConstTermination::Terminator,
                    Block().PString("Um").Word(1).bytes(), 1, ""},
        DamagedCase{"NoTerminator", ConstTermination::Terminator,
                    Block().PString("Um").Word(1).PString("Dois").Word(2).bytes(), 2, ""},
        DamagedCase{"CountBeyondTheRecords", ConstTermination::UShortCount,
                    Block().Word(40000).PString("Um").Word(1).bytes(), 1, ""},
        DamagedCase{"CountCutOff", ConstTermination::UShortCount, Block().Byte(2).bytes(), 0, ""},
        DamagedCase{"ByteCountOfAnEmptyBlock", ConstTermination::ByteCount, "", 0, ""}),
    [](const auto& info) { return std::string(info.param.id); });

TEST_F(ConstantClassTest, ZeroTerminatedStringWithoutItsZeroYieldsTheRest) {
  std::string text;
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&text));
  walker_.Set(Block().CString("um").Raw("dois").bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_EQ(text, "dois");
  EXPECT_EQ(Reports(), 1u);
}

TEST_F(ConstantClassTest, OverlongZeroTerminatedStringIsCutAndTheWalkGoesOn) {
  std::string text;
  uint8_t after = 0;
  walker_.Init(ConstTermination::Size);
  walker_.AddItem(ConstItem::CString, FieldRef::Of(&text));
  walker_.AddItem(ConstItem::Byte, FieldRef::Of(&after));
  walker_.Set(Block()
                  .CString(std::string(1024, 'a'))
                  .Byte(1)
                  .CString(std::string(1025, 'b'))
                  .Byte(2)
                  .bytes());
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(text.size(), 1024u);
  EXPECT_EQ(Reports(), 0u);
  ASSERT_EQ(walker_.Next(), ConstantClass::kDelivered);
  EXPECT_EQ(text, std::string(1024, 'b'));
  EXPECT_EQ(after, 2);
  EXPECT_EQ(Reports(), 1u);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
}

TEST_F(ConstantClassTest, RecordsOfNoBytesEndAnUncountedWalk) {
  walker_.Init(ConstTermination::Size);
  walker_.Set("abc");
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  walker_.Init(ConstTermination::Terminator);
  walker_.AddItem(static_cast<ConstItem>(9), FieldRef::Of(&code_));
  walker_.Set("abc");
  runtime::Queue<Row> queue;
  walker_.Next(queue);
  EXPECT_EQ(queue.Records(), 0);
  EXPECT_EQ(code_, 0);
  // The unknown item kind, then the empty record (twice: Next and Next(queue)).
  EXPECT_GE(Reports(), 3u);
}

TEST_F(ConstantClassTest, CountOfTheLargestAnnouncedSizeEnds) {
  uint8_t value = 0;
  walker_.Init(ConstTermination::UShortCount);
  walker_.AddItem(ConstItem::Byte, FieldRef::Of(&value));
  Block block;
  block.Word(65535).Raw(std::string(65535, '\x07')).Raw("\x01\x02");
  walker_.Set(block.bytes());
  int delivered = 0;
  while (walker_.Next() == ConstantClass::kDelivered) {
    ASSERT_LE(++delivered, 65535);
  }
  EXPECT_EQ(delivered, 65535);
  EXPECT_EQ(value, 7);
}

TEST_F(ConstantClassTest, KillEndsTheWalkAndForgetsTheItems) {
  NameAndCode(ConstTermination::Size);
  walker_.Set(Block().PString("Um").Word(1).bytes());
  walker_.Kill();
  EXPECT_TRUE(walker_.Complete);
  EXPECT_EQ(walker_.Descriptor, nullptr);
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  walker_.Reset();
  EXPECT_EQ(walker_.Next(), ConstantClass::kExhausted);
  EXPECT_STREQ(name_, "");
  EXPECT_EQ(Reports(), 0u);
  walker_.AddItem(ConstItem::Byte, FieldRef::Of(&code_));
  EXPECT_EQ(Reports(), 1u);
}

TEST_F(ConstantClassTest, GettersOutsideTheBlockReadNothing) {
  walker_.Init(ConstTermination::Size);
  walker_.Set("\x05");
  walker_.CharPnt = -3;  // the position is public; a bad one must not reach before the copy
  EXPECT_EQ(walker_.GetByte(), 0);
  walker_.CharPnt = 1;
  EXPECT_EQ(walker_.GetByte(), 5);
  EXPECT_EQ(walker_.GetLong(), 0);
  EXPECT_EQ(walker_.GetPString(), "");
  EXPECT_EQ(walker_.GetCString(), "");
  EXPECT_EQ(Reports(), 4u);
}

}  // namespace
}  // namespace framework
