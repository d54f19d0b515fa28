#include "framework/util/field_pairs.h"

#include <utility>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"

namespace framework {
namespace {

template <class Action>
void ForEach(const FieldPairQueue* list, Action action) {
  if (list == nullptr) return;
  for (int64_t i = 1; i <= list->Records(); ++i) action(list->row(i));
}

template <class Test>
bool All(const FieldPairQueue* list, Test test) {
  if (list == nullptr) return true;
  for (int64_t i = 1; i <= list->Records(); ++i) {
    if (!test(list->row(i))) return false;
  }
  return true;
}

}  // namespace

void FieldPairsClass::Init() {
  Kill();
  list_ = std::make_unique<FieldPairQueue>();
  List = list_.get();
}

void FieldPairsClass::Kill() {
  // The references and buffers go with the rows (the queue's own buffer row included).
  list_.reset();
  List = nullptr;
}

void FieldPairsClass::Append(runtime::FieldRef left, runtime::FieldRef right,
                             std::shared_ptr<runtime::OwnedValue> buffer) {
  if (list_ == nullptr) {
    runtime::Assert("FieldPairsClass: pair added before Init", kUtilityModule);
    return;
  }
  list_->buffer() = {left, right, std::move(buffer)};
  if (list_->Add() != 0) runtime::Assert("FieldPairsClass: cannot add a pair", kUtilityModule);
}

void FieldPairsClass::AddPair(runtime::FieldRef left, runtime::FieldRef right) {
  Append(left, right, nullptr);
}

// Values a field cannot hold are cut or left out as the value conversion does.
void FieldPairsClass::AssignLeftToRight() {
  ForEach(List, [](const FieldPair& pair) { (void)pair.Right.Assign(pair.Left); });
}

void FieldPairsClass::AssignRightToLeft() {
  ForEach(List, [](const FieldPair& pair) { (void)pair.Left.Assign(pair.Right); });
}

void FieldPairsClass::ClearRight() {
  ForEach(List, [](const FieldPair& pair) { pair.Right.Clear(); });
}

bool FieldPairsClass::EqualLeftRight() const {
  return All(List, [](const FieldPair& pair) { return pair.Left.Equals(pair.Right); });
}

void BufferedPairsClass::AddPair(runtime::FieldRef left, runtime::FieldRef right) {
  if (List == nullptr) {
    runtime::Assert("BufferedPairsClass: pair added before Init", kUtilityModule);
    return;
  }
  Append(left, right, std::make_shared<runtime::OwnedValue>(runtime::OwnedValue::Like(right)));
}

// A pair added through the plain AddPair has no buffer; the buffered operations pass it by.
void BufferedPairsClass::AssignLeftToBuffer() {
  ForEach(List, [](const FieldPair& pair) {
    if (pair.Buffer) (void)pair.Buffer->ref().Assign(pair.Left);
  });
}

void BufferedPairsClass::AssignBufferToLeft() {
  ForEach(List, [](const FieldPair& pair) {
    if (pair.Buffer) (void)pair.Left.Assign(pair.Buffer->ref());
  });
}

void BufferedPairsClass::AssignBufferToRight() {
  ForEach(List, [](const FieldPair& pair) {
    if (pair.Buffer) (void)pair.Right.Assign(pair.Buffer->ref());
  });
}

bool BufferedPairsClass::EqualLeftBuffer() const {
  return All(List, [](const FieldPair& pair) {
    return !pair.Buffer || pair.Left.Equals(pair.Buffer->ref());
  });
}

bool BufferedPairsClass::EqualRightBuffer() const {
  return All(List, [](const FieldPair& pair) {
    return !pair.Buffer || pair.Right.Equals(pair.Buffer->ref());
  });
}

}  // namespace framework
