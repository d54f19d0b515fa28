// Queues: the in-memory lists of records every framework list is made of (error table, history,
// procedure names, file mappings, keys, relations, translations, window components, INI sectors).
// A queue has a current-record buffer; rows are copied in from it and out to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/base/error_codes.h"

namespace runtime {

// What code that takes "any queue" needs: row count, position, and the operations that move rows
// between the buffer and the list. Positions count from 1. Operations return 0 or an error code.
// One queue is used by one thread at a time; owners that share one guard it themselves.
class QueueBase {
 public:
  virtual ~QueueBase() = default;
  QueueBase(const QueueBase&) = delete;
  QueueBase& operator=(const QueueBase&) = delete;

  // RECORDS: the number of rows.
  virtual int64_t Records() const = 0;
  // POINTER: the position of the row last got, added or put; 0 when there is none.
  virtual int64_t Pointer() const = 0;
  // ADD: appends a copy of the buffer and positions the queue on it.
  [[nodiscard]] virtual int Add() = 0;
  // GET by position: copies row `position` into the buffer and positions the queue on it;
  // kRecordNotFound (buffer unchanged) when there is no such row.
  [[nodiscard]] virtual int Get(int64_t position) = 0;
  // PUT: writes the buffer over the positioned row; kRecordNotAvailable when there is none.
  [[nodiscard]] virtual int Put() = 0;
  // DELETE: removes the positioned row; the queue is then positioned on no row.
  // kRecordNotAvailable when there is none.
  [[nodiscard]] virtual int Delete() = 0;
  // FREE: removes every row.
  virtual void Free() = 0;

 protected:
  QueueBase() = default;
};

// Three-way comparisons of rows: negative, 0 or positive as `a` sorts before, with or after `b`.
// ByFields builds one from member pointers, compared in order with their own < and ==;
// Descending(&Row::field) reverses one of them.
template <class Row, class T>
struct DescendingField {
  T Row::*member;
};
template <class Row, class T>
DescendingField<Row, T> Descending(T Row::*member) {
  return {member};
}

namespace queue_internal {
template <class Row, class T>
int CompareField(const Row& a, const Row& b, T Row::*member) {
  if (a.*member < b.*member) return -1;
  if (b.*member < a.*member) return 1;
  return 0;
}
template <class Row, class T>
int CompareField(const Row& a, const Row& b, DescendingField<Row, T> field) {
  return -CompareField(a, b, field.member);
}
}  // namespace queue_internal

template <class Row, class... Fields>
auto ByFields(Fields... fields) {
  return [=](const Row& a, const Row& b) {
    int result = 0;
    ((result = result != 0 ? result : queue_internal::CompareField(a, b, fields)), ...);
    return result;
  };
}

// A queue of `Row`s. `Row` is a plain copyable struct; its default value is the cleared buffer.
template <class Row>
class Queue final : public QueueBase {
 public:
  Queue() = default;

  Row& buffer() { return buffer_; }
  const Row& buffer() const { return buffer_; }
  // Row `position` (1 .. Records()) read in place, without touching the buffer or the position.
  const Row& row(int64_t position) const { return rows_[static_cast<size_t>(position - 1)]; }

  int64_t Records() const override { return static_cast<int64_t>(rows_.size()); }
  int64_t Pointer() const override { return pointer_; }

  int Add() override {
    rows_.push_back(buffer_);
    pointer_ = Records();
    return kNoError;
  }

  int Get(int64_t position) override {
    if (position < 1 || position > Records()) return kRecordNotFound;
    buffer_ = rows_[static_cast<size_t>(position - 1)];
    pointer_ = position;
    return kNoError;
  }

  int Put() override {
    if (pointer_ < 1 || pointer_ > Records()) return kRecordNotAvailable;
    rows_[static_cast<size_t>(pointer_ - 1)] = buffer_;
    return kNoError;
  }

  int Delete() override {
    if (pointer_ < 1 || pointer_ > Records()) return kRecordNotAvailable;
    rows_.erase(rows_.begin() + (pointer_ - 1));
    pointer_ = 0;
    return kNoError;
  }

  void Free() override {
    rows_.clear();
    pointer_ = 0;
  }

  // ADD in key order: inserts the buffer after every row that does not sort after it, so rows of
  // equal key keep the order they were added in. `compare` is a three-way comparison of rows.
  template <class Compare>
  [[nodiscard]] int AddInOrder(Compare compare) {
    auto at = std::upper_bound(rows_.begin(), rows_.end(), buffer_,
                               [&](const Row& a, const Row& b) { return compare(a, b) < 0; });
    pointer_ = (at - rows_.begin()) + 1;
    rows_.insert(at, buffer_);
    return kNoError;
  }

  // GET by key: the first row, in position order, that `compare` finds equal to the buffer is
  // copied into the buffer and the queue positioned on it; kRecordNotFound when none is.
  template <class Compare>
  [[nodiscard]] int GetByKey(Compare compare) {
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (compare(rows_[i], buffer_) == 0) return Get(static_cast<int64_t>(i) + 1);
    }
    return kRecordNotFound;
  }

  // SORT: orders the rows by `compare`, keeping the order of equal rows. The queue is then
  // positioned on no row.
  template <class Compare>
  void Sort(Compare compare) {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const Row& a, const Row& b) { return compare(a, b) < 0; });
    pointer_ = 0;
  }

 private:
  Row buffer_{};
  std::vector<Row> rows_;
  int64_t pointer_ = 0;
};

}  // namespace runtime
