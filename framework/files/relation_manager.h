// RelationManager: the relation object of one record file. It knows the file's access object (Me)
// and the file's relations to other files, each with the field pairs that link the two files and
// the rules of referential integrity for a change of the linking fields and for a delete. It opens
// and closes related files in cascades, keeps child records consistent when a parent's linking
// fields change or the parent is deleted (cascade, clear, restrict), and frames such multi-file
// changes in one runtime transaction.
//
// The dictionary derives one relation class per data file and adds the relations lazily, the first
// time a relation is walked (DeferedAddRelations). The virtual operations stand in the order of
// their slots; every call from one operation to another goes through the virtual table.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/util/field_pairs.h"
#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"

namespace framework {

class FileManager;
class RelationManager;

// Referential-integrity rules, the values of UpdateMode and DeleteMode.
inline constexpr uint8_t kRiNone = 0;      // no action
inline constexpr uint8_t kRiClear = 1;     // the children's linking fields are cleared
inline constexpr uint8_t kRiRestrict = 2;  // refused while children exist
inline constexpr uint8_t kRiCascade = 3;   // the children follow (take the new values, or go)

// A HisKey that names no key: the related file is on the "one" side of the relation (a lookup).
inline constexpr int kNoHisKey = -1;

// LocalAction: whether a rule causes work on the related file's records (clear, restrict and
// cascade do).
uint8_t LocalAction(uint8_t Mode);

// EPOC: the calling thread's cascade counter. A top-level cascade increments it; every object a
// cascade visits records it in LastTouched, so each object is visited once per cascade.
int32_t& EPOC();

// One relation of a file to another.
struct RelationRow {
  RelationManager* File = nullptr;  // the relation object of the related file
  // The linking pairs: left = this file's field, right = the related file's field, buffer = the
  // left value kept by Save. Null for a relation added without integrity rules.
  std::shared_ptr<BufferedPairsClass> Fields;
  int HisKey = kNoHisKey;  // the related file's key led by the linking fields (0-based)
  uint8_t UpdateMode = kRiNone;
  uint8_t DeleteMode = kRiNone;
  uint8_t Opened = 0;  // open counts of the related file that this object's cascades hold
};
using RelationQueue = runtime::Queue<RelationRow>;

class RelationManager {
 public:
  RelationManager() = default;
  virtual ~RelationManager();
  RelationManager(const RelationManager&) = delete;
  RelationManager& operator=(const RelationManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // Deletes the placeholder record of automatic numbering through Delete, so that related
  // records are handled.
  virtual uint8_t CancelAutoInc();
  // The close cascade: closes this file and, through the relations, exactly what this object's
  // open cascades opened.
  virtual uint8_t Close(uint8_t Cascading = 0);
  // Deletes the current record under the delete rules, in one transaction with the related
  // files' changes. Asks first (11) when `Query` is set; offers a retry (36) when the delete
  // itself failed.
  virtual uint8_t Delete(uint8_t Query = 1);
  // Applies delete rule `Mode` to the records of this file whose `HisKey` leads with the
  // parent's linking values (`Fields`, seen from the parent).
  virtual uint8_t DeleteSecondary(int HisKey, BufferedPairsClass& Fields, uint8_t Mode,
                                  uint8_t Query);
  // Unregisters and forgets the relations.
  virtual void Kill();
  // The open cascade; every level of related files when forcing.
  virtual uint8_t Open(uint8_t Cascading = 0);
  // Keeps the linking fields' current values, so that a later change of them can be detected.
  virtual void Save();
  // Sends QUICKSCAN on or off to the file's driver and, by `Propagate`, to related files:
  // 1 lookups only, 2 children only, any other non-zero value all (0 this file only).
  virtual void SetQuickScan(uint8_t On, uint8_t Propagate = 0);
  // Writes the current record under the update rules, in one transaction with the related
  // files' changes. `FromForm`: the record was edited in a window (a change by another station
  // is then reported as 8, not 7).
  virtual uint8_t Update(uint8_t FromForm = 0);
  // Applies update rule `Mode` to the records of this file that hold the parent's old linking
  // values (the buffers of `Fields`).
  virtual uint8_t UpdateSecondary(int HisKey, BufferedPairsClass& Fields, uint8_t Mode);
  // Adds this file's relations; empty here, the derived class adds them.
  virtual void DeferedAddRelations();

  // ---- Non-virtual operations ----

  // `F` is this file's access object; `Log` frames updates and deletes in transactions.
  void Init(FileManager* F, uint8_t Log);
  // A relation without rules (a lookup of the parent), or one with rules on the related file's
  // key `HisKey`.
  void AddRelation(RelationManager* F);
  void AddRelation(RelationManager* F, uint8_t Update, uint8_t Delete, int HisKey);
  // Adds a linking pair to the relation added last: this file's field, the related file's field.
  void AddRelationLink(int32_t* Left, int32_t* Right);
  void AddRelationLink(runtime::FieldRef Left, runtime::FieldRef Right);
  uint8_t ForceOpen(uint8_t Cascading = 0);
  // The next Open cascades through every level of related files.
  void SetOpenRelated();
  uint8_t OpenCloseServer(uint8_t Cascading, bool Opening);
  // Writes the current record of this file and cascades its linking-field changes further.
  uint8_t CascadeUpdates();
  // Runs DeferedAddRelations the first time.
  void DeferedRelations();
  // Enlists this file (and, for updates and deletes, the files the rules reach) in the next
  // transaction.
  uint8_t LogoutPrime();
  uint8_t LogoutUpdate();
  uint8_t LogoutDelete();

  // ---- Fields, in declaration order ----

  FileManager* Me = nullptr;                 // the access object of this file
  std::unique_ptr<RelationQueue> Relations;  // null before Init and after Kill
  RelationManager* AliasFile = nullptr;
  uint8_t PrevUseLogout = 0;
  uint8_t UseLogout = 0;
  uint8_t LogoutTimeout = 0;
  int32_t LastTouched = 0;
  uint8_t ForcingOpen = 0;
  uint8_t DeferedRelationsDone = 0;

 private:
  // The relation added last, or null (with the assertion) when there is none to link.
  const RelationRow* LastRelation();
};

}  // namespace framework
