// Random sequences of record operations on a real data file, checked step by step against a plain
// in-memory model of keyed files: every read returns the record the model expects, and every
// failure is the one the model expects.

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/text.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using namespace testing_support;

// ---- The model: comparisons written from the meaning of each type, not from the encoder ----

struct Record {
  int64_t number;
  std::string bytes;
};

int64_t ReadInt(const std::string& bytes, const FieldDeclaration& f) {
  uint64_t raw = 0;
  for (int i = f.size - 1; i >= 0; --i)
    raw = (raw << 8) | static_cast<unsigned char>(bytes[f.offset + i]);
  if (f.type == FieldType::Long) return static_cast<int32_t>(raw);
  if (f.type == FieldType::Short) return static_cast<int16_t>(raw);
  return static_cast<int64_t>(raw);
}

// A packed decimal's value in tenths (the test field has one place).
int64_t ReadDecimal(const std::string& bytes, const FieldDeclaration& f) {
  int64_t value = 0;
  for (int i = 0; i < 2 * f.size - 1; ++i) {
    const unsigned char b = bytes[f.offset + i / 2];
    value = value * 10 + (i % 2 == 0 ? b >> 4 : b & 0x0F);
  }
  return (bytes[f.offset + f.size - 1] & 0x0F) == 0x0D ? -value : value;
}

int CompareField(const std::string& a, const std::string& b, const FieldDeclaration& f,
                 bool no_case) {
  if (f.type == FieldType::String) {
    std::string x = a.substr(f.offset, f.size), y = b.substr(f.offset, f.size);
    if (no_case) {
      x = UpperCp1252(x);
      y = UpperCp1252(y);
    }
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const int64_t x = f.type == FieldType::Decimal ? ReadDecimal(a, f) : ReadInt(a, f);
  const int64_t y = f.type == FieldType::Decimal ? ReadDecimal(b, f) : ReadInt(b, f);
  return x < y ? -1 : x > y ? 1 : 0;
}

bool IsEmpty(const std::string& bytes, const FieldDeclaration& f) {
  if (f.type == FieldType::String) return ClipRight(bytes.substr(f.offset, f.size)).empty();
  return (f.type == FieldType::Decimal ? ReadDecimal(bytes, f) : ReadInt(bytes, f)) == 0;
}

class Model {
 public:
  explicit Model(const FileDeclaration& d) : d_(d) {}

  // Components only.
  int CompareComponents(int key, const std::string& a, const std::string& b) const {
    const KeyDeclaration& k = d_.keys[key];
    for (const KeyComponent& c : k.components) {
      int r = CompareField(a, b, *d_.field(c.field), k.no_case());
      if (c.order == KeyOrder::Descending) r = -r;
      if (r != 0) return r;
    }
    return 0;
  }
  // Full order: components, then the record number for a key with duplicates.
  int Compare(int key, const Record& a, const Record& b) const {
    if (key == kRecordOrder) return a.number < b.number ? -1 : a.number > b.number;
    const int r = CompareComponents(key, a.bytes, b.bytes);
    if (r != 0 || d_.keys[key].unique()) return r;
    return a.number < b.number ? -1 : a.number > b.number;
  }
  bool InKey(int key, const std::string& bytes) const {
    if (key == kRecordOrder) return true;
    const KeyDeclaration& k = d_.keys[key];
    if (!k.exclude_empty()) return true;
    for (const KeyComponent& c : k.components) {
      if (!IsEmpty(bytes, *d_.field(c.field))) return true;
    }
    return false;
  }
  std::vector<Record> Ordered(int key) const {
    std::vector<Record> out;
    for (const Record& r : records_) {
      if (InKey(key, r.bytes)) out.push_back(r);
    }
    std::sort(out.begin(), out.end(),
              [&](const Record& a, const Record& b) { return Compare(key, a, b) < 0; });
    return out;
  }
  // True when `bytes` would clash in a unique key with a record other than `except`.
  bool Clashes(const std::string& bytes, int64_t except) const {
    for (size_t k = 0; k < d_.keys.size(); ++k) {
      if (!d_.keys[k].unique() || !InKey(static_cast<int>(k), bytes)) continue;
      for (const Record& r : records_) {
        if (r.number != except && InKey(static_cast<int>(k), r.bytes) &&
            CompareComponents(static_cast<int>(k), r.bytes, bytes) == 0) {
          return true;
        }
      }
    }
    return false;
  }

  std::vector<Record> records_;
  int64_t last_number_ = 0;

 private:
  const FileDeclaration& d_;
};

// The walk position of the model: mirrors the file's documented walk rules.
struct ModelWalk {
  enum Place { BothEnds, Before, At, AfterLast, BeforeFirst } place = BothEnds;
  int order = kRecordOrder;
  Record mark{0, ""};
};

class DifferentialTest : public ::testing::TestWithParam<int> {};

void RandomiseFields(std::mt19937& random, RecordFile& file) {
  static const char* kNames[] = {"", "ana", "ANA", "Ana b", "bob", "\xE7\x61o", "\xC7\x41O", "z"};
  static const char* kTags[] = {"", "a", "b", "A", "ab"};
  static const int64_t kAmounts[] = {0, 5, -5, 123, -123, 9999, -9999, 10};
  auto pick = [&](int n) { return static_cast<int>(random() % n); };
  file.SetInteger(kCode, pick(60));
  file.SetText(kName, kNames[pick(8)]);
  char* amount = file.buffer() + 10;
  const int64_t value = kAmounts[pick(8)];
  const int64_t magnitude = value < 0 ? -value : value;
  // DECIMAL(3,1): five digits, then the sign half-byte.
  const int d[5] = {static_cast<int>(magnitude / 10000 % 10),
                    static_cast<int>(magnitude / 1000 % 10), static_cast<int>(magnitude / 100 % 10),
                    static_cast<int>(magnitude / 10 % 10), static_cast<int>(magnitude % 10)};
  amount[0] = static_cast<char>(d[0] << 4 | d[1]);
  amount[1] = static_cast<char>(d[2] << 4 | d[3]);
  amount[2] = static_cast<char>(d[4] << 4 | (value < 0 || pick(10) == 0 ? 0xD : 0));
  file.SetInteger(kSigned, pick(7) - 3 + (pick(5) == 0 ? -2000000000 : 0));
  file.SetText(kTag, kTags[pick(5)]);
  file.SetInteger(kSmall, pick(5) - 2);
  file.SetInteger(kFlag, pick(3) == 0 ? 0 : 255 - pick(3));
}

TEST_P(DifferentialTest, RandomOperationsMatchTheModel) {
  testing_support::ScratchDir dir;
  const FileDeclaration& declaration = SampleDeclaration();
  RecordFile file(declaration);
  file.SetName(dir / "sample.dat");
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  Model model(declaration);
  ModelWalk walk;
  std::optional<Record> current;
  std::mt19937 random(GetParam());
  const int keys = static_cast<int>(declaration.keys.size());

  auto expect_record = [&](int code, const std::optional<Record>& expected, const char* what,
                           int step) {
    if (!expected) {
      EXPECT_NE(code, 0) << what << " at step " << step;
      return;
    }
    ASSERT_EQ(code, 0) << what << " at step " << step << ": " << FILEERRORMSG();
    EXPECT_EQ(file.Pointer(), expected->number) << what << " at step " << step;
    EXPECT_EQ(std::string(file.record()), expected->bytes) << what << " at step " << step;
  };

  for (int step = 0; step < 2500; ++step) {
    const int op = static_cast<int>(random() % 108);
    if (op < 12) {  // Set a key or the record order, from either end.
      const int order = static_cast<int>(random() % (keys + 1)) - 1;
      ASSERT_EQ(order == kRecordOrder ? file.SetFile() : file.Set(order), 0);
      walk = ModelWalk{ModelWalk::BothEnds, order, {0, ""}};
    } else if (op < 20) {  // Set a key from random buffer values.
      const int order = static_cast<int>(random() % keys);
      RandomiseFields(random, file);
      ASSERT_EQ(file.SetFromBuffer(order), 0);
      walk = ModelWalk{ModelWalk::Before, order, {0, std::string(file.record())}};
    } else if (op < 55) {  // Next or previous.
      const bool forward = random() % 3 != 0;
      const std::vector<Record> ordered = model.Ordered(walk.order);
      std::optional<Record> expected;
      if (forward) {
        for (const Record& r : ordered) {
          const bool after =
              walk.place == ModelWalk::BothEnds || walk.place == ModelWalk::BeforeFirst ||
              (walk.place == ModelWalk::Before &&
               model.CompareComponents(walk.order, r.bytes, walk.mark.bytes) >= 0) ||
              (walk.place == ModelWalk::At && model.Compare(walk.order, r, walk.mark) > 0);
          if (walk.place != ModelWalk::AfterLast && after) {
            expected = r;
            break;
          }
        }
      } else {
        for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) {
          const Record& r = *it;
          const bool before =
              walk.place == ModelWalk::BothEnds || walk.place == ModelWalk::AfterLast ||
              (walk.place == ModelWalk::Before &&
               model.CompareComponents(walk.order, r.bytes, walk.mark.bytes) < 0) ||
              (walk.place == ModelWalk::At && model.Compare(walk.order, r, walk.mark) < 0);
          if (walk.place != ModelWalk::BeforeFirst && before) {
            expected = r;
            break;
          }
        }
      }
      const int code = forward ? file.Next() : file.Previous();
      expect_record(code, expected, forward ? "next" : "previous", step);
      if (expected) {
        walk.place = ModelWalk::At;
        walk.mark = *expected;
        current = expected;
      } else {
        EXPECT_EQ(code, kRecordNotAvailable);
        walk.place = forward ? ModelWalk::AfterLast : ModelWalk::BeforeFirst;
      }
    } else if (op < 65) {  // Get by a key, with the values of a random or an existing record.
      const int key = static_cast<int>(random() % keys);
      if (!model.records_.empty() && random() % 2 == 0) {
        const Record& r = model.records_[random() % model.records_.size()];
        std::memcpy(file.buffer(), r.bytes.data(), r.bytes.size());
      } else {
        RandomiseFields(random, file);
      }
      std::optional<Record> expected;
      const std::string probe(file.record());
      for (const Record& r : model.Ordered(key)) {
        if (model.CompareComponents(key, r.bytes, probe) == 0) {
          expected = r;
          break;
        }
      }
      const int code = file.Get(key);
      expect_record(code, expected, "get", step);
      if (expected) current = expected;
      if (!expected) {
        EXPECT_EQ(code, kRecordNotFound);
        EXPECT_EQ(std::string(file.record()), probe) << "a failed get changed the buffer";
      }
    } else if (op < 82) {  // Add.
      RandomiseFields(random, file);
      const std::string bytes(file.record());
      const int code = file.Add();
      if (model.Clashes(bytes, 0)) {
        EXPECT_EQ(code, kDuplicateKey) << "step " << step;
      } else {
        ASSERT_EQ(code, 0) << "step " << step << ": " << FILEERRORMSG();
        model.records_.push_back({++model.last_number_, bytes});
        EXPECT_EQ(file.Pointer(), model.last_number_);
        current = model.records_.back();
      }
    } else if (op < 92) {  // Put the current record with changed fields.
      if (!current) continue;
      std::memcpy(file.buffer(), current->bytes.data(), current->bytes.size());
      file.Clear(0);
      RandomiseFields(random, file);
      if (random() % 2 == 0)
        file.SetInteger(kCode, ReadInt(current->bytes, *declaration.field(kCode)));
      const std::string bytes(file.record());
      const int code = file.Put();
      if (model.Clashes(bytes, current->number)) {
        EXPECT_EQ(code, kDuplicateKey) << "step " << step;
      } else {
        ASSERT_EQ(code, 0) << "step " << step << ": " << FILEERRORMSG();
        for (Record& r : model.records_) {
          if (r.number == current->number) r.bytes = bytes;
        }
        current->bytes = bytes;
      }
    } else if (op >= 100) {  // Position of the current record after the buffer changed: RESET.
      if (!current) continue;
      const int key = static_cast<int>(random() % keys);
      RandomiseFields(random, file);
      const std::string position = file.Position(key);
      if (!model.InKey(key, current->bytes)) continue;
      ASSERT_EQ(file.Reset(key, position), 0);
      expect_record(file.Next(), current, "next after reset", step);
      walk = ModelWalk{ModelWalk::At, key, *current};
    } else {  // Delete the current record.
      if (!current) continue;
      ASSERT_EQ(file.Delete(), 0) << "step " << step << ": " << FILEERRORMSG();
      const int64_t number = current->number;
      model.records_.erase(std::remove_if(model.records_.begin(), model.records_.end(),
                                          [&](const Record& r) { return r.number == number; }),
                           model.records_.end());
      current.reset();
    }
    if (HasFatalFailure() || HasFailure()) return;
  }

  // Finally every order walked whole, both ways.
  for (int order = kRecordOrder; order < keys; ++order) {
    const std::vector<Record> expected = model.Ordered(order);
    ASSERT_EQ(order == kRecordOrder ? file.SetFile() : file.Set(order), 0);
    std::vector<int64_t> forward, backward, want;
    for (const Record& r : expected) want.push_back(r.number);
    while (file.Next() == 0) forward.push_back(file.Pointer());
    ASSERT_EQ(order == kRecordOrder ? file.SetFile() : file.Set(order), 0);
    while (file.Previous() == 0) backward.push_back(file.Pointer());
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, want) << "order " << order;
    EXPECT_EQ(backward, want) << "order " << order;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DifferentialTest, ::testing::Values(1, 2, 3, 4, 5, 6));

}  // namespace
}  // namespace runtime
