// Field pairs: copying and comparing lists of field pairs and their private buffers.
#include "framework/util/field_pairs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::FieldRef;
using runtime::ValueType;

// A relation's linking fields: a parent record's key and a child's copy of it, packed.
class FieldPairsTest : public ::testing::Test {
 protected:
  FieldPairsTest() {
    std::memset(parent_, 0, sizeof(parent_));
    std::memset(child_, 0, sizeof(child_));
    ParentName().Clear();  // a cleared STRING is blank
    ChildName().Clear();
  }
  // Parent: LONG code at 0, STRING(8) name at 4. Child: USHORT code at 1 (unaligned), STRING(12)
  // name at 3.
  FieldRef ParentCode() { return FieldRef::Bytes(parent_, ValueType::Long, 4); }
  FieldRef ParentName() { return FieldRef::Bytes(parent_ + 4, ValueType::String, 8); }
  FieldRef ChildCode() { return FieldRef::Bytes(child_ + 1, ValueType::UShort, 2); }
  FieldRef ChildName() { return FieldRef::Bytes(child_ + 3, ValueType::String, 12); }

  template <class Pairs>
  void LinkParentToChild(Pairs& pairs) {
    pairs.Init();
    pairs.AddPair(ParentCode(), ChildCode());
    pairs.AddPair(ParentName(), ChildName());
  }

  runtime::AssertionRecorder recorder_;
  char parent_[12];
  char child_[15];
};

TEST_F(FieldPairsTest, CopiesAndComparesByValueAcrossTypes) {
  FieldPairsClass pairs;
  LinkParentToChild(pairs);
  EXPECT_TRUE(pairs.EqualLeftRight());  // zero and blank on both sides
  ASSERT_OK(ParentCode().SetInteger(321));
  ASSERT_OK(ParentName().SetText("ANA"));
  EXPECT_FALSE(pairs.EqualLeftRight());
  pairs.AssignLeftToRight();
  EXPECT_EQ(ChildCode().GetInteger(), 321);
  EXPECT_EQ(ChildName().GetText(), "ANA         ");
  EXPECT_TRUE(pairs.EqualLeftRight());  // the trailing blanks do not count
  ASSERT_OK(ChildName().SetText("BIA"));
  EXPECT_FALSE(pairs.EqualLeftRight());
  pairs.AssignRightToLeft();
  EXPECT_EQ(ParentName().GetText(), "BIA     ");
  pairs.ClearRight();
  EXPECT_EQ(ChildCode().GetInteger(), 0);
  EXPECT_EQ(ChildName().GetText(), std::string(12, ' '));
  EXPECT_EQ(ParentCode().GetInteger(), 321);
  EXPECT_TRUE(recorder_.entries().empty());
}

TEST_F(FieldPairsTest, EmptyOrMissingListIsEqual) {
  FieldPairsClass pairs;
  EXPECT_TRUE(pairs.EqualLeftRight());
  pairs.AssignLeftToRight();  // no list: nothing to do
  pairs.Init();
  EXPECT_TRUE(pairs.EqualLeftRight());
}

TEST_F(FieldPairsTest, AddPairBeforeInitIsReported) {
  FieldPairsClass plain;
  plain.AddPair(ParentCode(), ChildCode());
  BufferedPairsClass buffered;
  buffered.AddPair(ParentCode(), ChildCode());
  const auto entries = recorder_.entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].module, kUtilityModule);
  EXPECT_EQ(plain.List, nullptr);
}

TEST_F(FieldPairsTest, InitStartsAnEmptyListAndKillForgetsIt) {
  BufferedPairsClass pairs;
  LinkParentToChild(pairs);
  ASSERT_NE(pairs.List, nullptr);
  EXPECT_EQ(pairs.List->Records(), 2);
  EXPECT_EQ(pairs.RealList(), pairs.List);
  pairs.Init();
  EXPECT_EQ(pairs.List->Records(), 0);
  pairs.Kill();
  EXPECT_EQ(pairs.List, nullptr);
  pairs.Kill();
}

TEST_F(FieldPairsTest, BufferTakesTheRightTypeClearedAndLeavesTheRightAlone) {
  ASSERT_OK(ChildCode().SetInteger(4464));
  ASSERT_OK(ChildName().SetText("KEEP"));
  BufferedPairsClass pairs;
  LinkParentToChild(pairs);
  EXPECT_EQ(ChildCode().GetInteger(), 4464);
  EXPECT_EQ(ChildName().GetText(), "KEEP        ");
  const FieldPair& code = pairs.RealList()->row(1);
  ASSERT_NE(code.Buffer, nullptr);
  EXPECT_EQ(code.Buffer->ref().type(), ValueType::UShort);
  EXPECT_EQ(code.Buffer->ref().GetInteger(), 0);
  EXPECT_EQ(pairs.RealList()->row(2).Buffer->ref().GetText(), std::string(12, ' '));
  EXPECT_FALSE(pairs.EqualRightBuffer());
}

TEST_F(FieldPairsTest, BufferSavesAndRestoresBothSides) {
  BufferedPairsClass pairs;
  LinkParentToChild(pairs);
  ASSERT_OK(ParentCode().SetInteger(12));
  ASSERT_OK(ParentName().SetText("CARLOS"));
  pairs.AssignLeftToBuffer();
  EXPECT_TRUE(pairs.EqualLeftBuffer());
  EXPECT_FALSE(pairs.EqualRightBuffer());
  ASSERT_OK(ParentCode().SetInteger(99));
  EXPECT_FALSE(pairs.EqualLeftBuffer());
  pairs.AssignBufferToRight();
  EXPECT_EQ(ChildCode().GetInteger(), 12);
  EXPECT_EQ(ChildName().GetText(), "CARLOS      ");
  EXPECT_TRUE(pairs.EqualRightBuffer());
  pairs.AssignBufferToLeft();
  EXPECT_EQ(ParentCode().GetInteger(), 12);
  EXPECT_TRUE(pairs.EqualLeftRight());
}

TEST_F(FieldPairsTest, BufferIsTheRightsSizeSoALongerLeftIsCut) {
  // A right field narrower than its left: the buffer holds what the right can, no more.
  char wide[20];
  char narrow[4];
  BufferedPairsClass pairs;
  pairs.Init();
  pairs.AddPair(FieldRef::Of(&wide), FieldRef::Of(&narrow));
  ASSERT_OK(FieldRef::Of(&wide).SetText("PAGAMENTO"));
  pairs.AssignLeftToBuffer();
  EXPECT_EQ(pairs.RealList()->row(1).Buffer->ref().GetText(), "PAG");
  EXPECT_FALSE(pairs.EqualLeftBuffer());
}

TEST_F(FieldPairsTest, PlainPairsThroughTheBufferedCallsHaveNoBuffer) {
  BufferedPairsClass pairs;
  pairs.Init();
  pairs.FieldPairsClass::AddPair(ParentCode(), ChildCode());
  ASSERT_OK(ParentCode().SetInteger(5));
  pairs.AssignLeftToBuffer();  // no buffer: passed by
  pairs.AssignBufferToLeft();
  pairs.AssignBufferToRight();
  EXPECT_EQ(ParentCode().GetInteger(), 5);
  EXPECT_EQ(ChildCode().GetInteger(), 0);
  EXPECT_TRUE(pairs.EqualLeftBuffer());
  EXPECT_TRUE(recorder_.entries().empty());
}

}  // namespace
}  // namespace framework
