// What the access class and the relation class of every data file have in common: the access
// class prepares the file manager over this thread's instance of the file and adds the file's keys
// on its first use; the relation class initialises both objects and, when killed, destroys the
// access object. Each file's own classes (access_classes.h) derive from these templates.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/errors/global_errors.h"
#include "framework/files/file_manager.h"
#include "framework/files/relation_manager.h"
#include "runtime/records/file_declaration.h"
#include "runtime/records/thread_files.h"

namespace dictionary {

// Frees an object owned through one of the dictionary's per-thread references and clears the
// reference.
template <class T>
void DestroyOwned(T*& owner) {
  std::unique_ptr<T> owned(owner);
  owner = nullptr;
}

// `Self` is the file's access class. It provides:
//   static const runtime::FileDeclaration& Declaration();  the file's declaration
//   static Self*& Reference();                             the thread's Access:<File>
template <class Self>
class AccessClass : public framework::FileManager {
 public:
  using framework::FileManager::Init;

  // Prepares the object without opening anything: this thread's record buffer and file instance,
  // the file's label as its name until the first use, the file's name variable, GlobalErrors.
  void Init() override {
    const runtime::FileDeclaration& declaration = Self::Declaration();
    runtime::RecordFile& file = runtime::THREAD_FILE(declaration);
    Initialized = 0;
    Buffer = file.buffer();
    BufferLength = declaration.record_length;
    FileNameValue = declaration.label;
    SetErrors(framework::GlobalErrors());
    File = &file;
    FileName = declaration.name;
    framework::FileManager::Init();
    Self::Reference() = static_cast<Self*>(this);
  }

  // Every use first runs the initialising use (5); that one, the first time, runs the full set-up
  // and adds every key of the file in its order, so the keys are added exactly once whatever the
  // first use is.
  uint8_t UseFile(uint8_t UseType = 2) override {
    if (UseType != 5) UseFile(5);
    if (UseType == 5 && !Initialized) {
      InUseFile = 1;
      Init(File, framework::GlobalErrors());
      Create = 1;
      LockRecover = 10;
      const runtime::FileDeclaration& declaration = Self::Declaration();
      for (size_t key = 0; key < declaration.keys.size(); ++key) {
        AddKey(static_cast<int>(key), declaration.keys[key].description,
               static_cast<uint8_t>(declaration.keys[key].auto_increment));
      }
    }
    return framework::FileManager::UseFile(UseType);
  }

  void Kill() override {
    framework::FileManager::Kill();
    Self::Reference() = nullptr;
  }
};

// `Self` is the file's relation class, `Access` its access class. Self provides:
//   static Self*& Reference();             the thread's Relate:<File>
//   static Access*& AccessOwner();         the thread's _Hide:Access:<File> (owning)
template <class Self, class Access>
class RelateClass : public framework::RelationManager {
 public:
  using framework::RelationManager::Init;

  // Initialises the access object (which sets Access:<File>), then this object over it, with
  // every cascaded update and delete framed in a transaction.
  void Init() {
    Access* access = Self::AccessOwner();
    access->Init();
    framework::RelationManager::Init(access, 1);
  }

  // Kills the access object, then this object; clears Relate:<File> and destroys the access
  // object.
  void Kill() override {
    if (Access* access = Self::AccessOwner(); access != nullptr) access->Kill();
    framework::RelationManager::Kill();
    Self::Reference() = nullptr;
    DestroyOwned(Self::AccessOwner());
  }

 protected:
  // A field of this thread's record of `declaration`, for the linking pairs.
  static runtime::FieldRef FieldOf(const runtime::FileDeclaration& declaration, int field) {
    return runtime::THREAD_FILE(declaration).Field(field);
  }
  // A LONG field of this thread's record, for the linking pairs of 32-bit integers.
  static int32_t* LongOf(const runtime::FileDeclaration& declaration, int field) {
    runtime::RecordFile& file = runtime::THREAD_FILE(declaration);
    return reinterpret_cast<int32_t*>(file.buffer() + declaration.field(field)->offset);
  }
};

}  // namespace dictionary
