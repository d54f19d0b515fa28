// Lists of field pairs: a left and a right field (and, for the buffered kind, a private value per
// pair), copied and compared as a whole. Relations use them for their linking fields.
#pragma once

#include <memory>

#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"

namespace framework {

// One pair. Buffer is the pair's private value in a BufferedPairsClass, null otherwise; copies of
// a row share it, so the queue's buffer and its row reach the same value.
struct FieldPair {
  runtime::FieldRef Left;
  runtime::FieldRef Right;
  std::shared_ptr<runtime::OwnedValue> Buffer;
};
using FieldPairQueue = runtime::Queue<FieldPair>;

// Owns its list; the fields it refers to must outlive their pairs (up to Kill or the next Init).
// One thread at a time.
class FieldPairsClass {
 public:
  FieldPairsClass() = default;
  virtual ~FieldPairsClass() = default;
  FieldPairsClass(const FieldPairsClass&) = delete;
  FieldPairsClass& operator=(const FieldPairsClass&) = delete;

  // Kill, then a new empty list.
  void Init();
  // Forgets every pair's references and disposes of the list.
  void Kill();
  // Appends a pair of `left` and `right`; reported when there is no list (before Init).
  virtual void AddPair(runtime::FieldRef left, runtime::FieldRef right);

  // Pair by pair; without a list they do nothing (the Equal forms give true).
  void AssignLeftToRight();
  void AssignRightToLeft();
  void ClearRight();
  // True when every pair's left value equals its right value (compared by value); true when empty.
  bool EqualLeftRight() const;

  FieldPairQueue* List = nullptr;  // the list, or null before Init and after Kill

 protected:
  // Appends a pair with the given buffer.
  void Append(runtime::FieldRef left, runtime::FieldRef right,
              std::shared_ptr<runtime::OwnedValue> buffer);

 private:
  std::unique_ptr<FieldPairQueue> list_;
};

// Field pairs with a private buffer per pair, created with the type of the pair's right field. A
// pair added through FieldPairsClass::AddPair has none; the buffer operations pass it by.
class BufferedPairsClass : public FieldPairsClass {
 public:
  // The buffer starts cleared; the right field keeps its value.
  void AddPair(runtime::FieldRef left, runtime::FieldRef right) override;

  void AssignLeftToBuffer();
  void AssignBufferToLeft();
  void AssignBufferToRight();
  bool EqualLeftBuffer() const;
  bool EqualRightBuffer() const;

  // `RealList`: the same list as List, seen with the buffers.
  FieldPairQueue* RealList() const { return List; }
};

}  // namespace framework
