// The error manager: the table of error entries, the raising of an error with the calling thread's
// context, the substitution of that context into the message, and its dispatch by severity to a
// question, a message or the end of the program, with history and log on the way.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/errors/error_history.h"
#include "framework/errors/error_log_interface.h"
#include "framework/errors/error_status.h"
#include "framework/errors/interned_string.h"
#include "framework/errors/level.h"
#include "framework/errors/standard_error_log.h"
#include "framework/util/critical_section.h"
#include "runtime/platform/thread_context.h"
#include "runtime/values/queue.h"

namespace framework {

// One row of the procedure-name stacks: the thread that entered the procedure, and its name.
struct ProcedureNameRow {
  int32_t Thread = 0;
  InternedString Name;
};

// The texts of the internal consistency reports the error manager makes.
inline constexpr std::string_view kErrorModule = "error manager";

// One object serves every thread. The table, the history, the procedure names, the settings and
// the log writes are guarded by one re-entrant lock, each operation taking it for its own span;
// the lock is never held while a message is shown. Context and current error live in the calling
// thread's ErrorStatusClass, which needs no lock.
//
// The virtual operations stand in the order of their slots; a derived class changes the manager's
// behaviour by overriding them, and every call from one operation to another among them goes
// through the virtual table.
class ErrorClass {
 public:
  ErrorClass();
  // Runs Kill.
  virtual ~ErrorClass();
  ErrorClass(const ErrorClass&) = delete;
  ErrorClass& operator=(const ErrorClass&) = delete;

  // Appends an entry; a later entry with the same identifier overrides the earlier one. `message`
  // and `title` must outlive the entry (the table refers to them).
  virtual void AddError(uint16_t id, std::string_view message, std::string_view title,
                        uint8_t fatality, std::string_view category = {});
  // Appends every entry of the packed block (see default_errors.h), in block order, with no
  // category. The block must outlive the table. A block cut short is reported and read no further.
  virtual void AddErrors(std::string_view block);
  // Appends the history row that Msg filled (the history list's buffer).
  virtual void AddHistory();
  // Shows a snapshot of the history through the installed HistoryViewer, or without one in a
  // message box, one message a line; returns the flag of the button pressed.
  virtual int32_t HistoryMsg(std::string_view caption, int32_t icon, int32_t buttons,
                             int32_t default_button);
  // The common path of every thrown error: logs `txt` when LogErrors is set, records it in the
  // history when that is on, and unless Silent shows it (in the history window when the current
  // error's severity is the history view level). Returns the button pressed, or `default_button`
  // when nothing was shown. `caption` and `icon` may be empty.
  virtual int32_t Msg(std::string_view txt, std::string_view caption, std::string_view icon,
                      int32_t buttons, int32_t default_button, int32_t style);
  // The runtime's message box; `level` is the severity of the message and is not used here.
  virtual int32_t MessageBox(uint8_t level, std::string_view txt, std::string_view caption,
                             std::string_view icon, int32_t buttons, int32_t default_button,
                             int32_t style);
  // Removes the entry that throws of `id` use (the last one added), making an earlier entry with
  // the same identifier visible again.
  virtual void RemoveError(uint16_t id);
  // Makes `log` the log Msg writes to (it must outlive its use); the first call also creates the
  // table with the default block, the history and the procedure names.
  virtual void SetErrorLog(ErrorLogInterface* log);
  // Severity 0: shows nothing; returns Level::Benign.
  virtual Level TakeBenign();
  // Severity 3: the message, then the end of the program through HALT. Returns only when a test
  // replaced the halt.
  virtual void TakeFatal();
  // Severity 5: the message with an OK button.
  virtual void TakeNotify();
  // Any severity outside the list: handled as a program error.
  virtual void TakeOther();
  // Severity 2: handled as fatal.
  virtual void TakeProgram();
  // Severities 1 and 4: a Yes/No question; Level::Benign for Yes, else Level::Cancel.
  virtual Level TakeUser();
  // Shows the history window ("Errors History", OK and Help); never clears the history.
  virtual void ViewHistory();

  // Set-up. `status` is the program's per-thread error status; every status operation works on
  // the calling thread's instance of it. `status` must outlive the manager's use. A second Init
  // changes nothing but the status while the manager is set up.
  void Init(runtime::ThreadInstance<ErrorStatusClass>& status);
  void Init();
  // Disposes of the table, the history, the procedure names and the standard log.
  void Kill();

  // The error table. SetId positions the table on the last row at or before `start_pos` with
  // identifier `id`; 0 when found, 5 when not. The one-argument form searches the whole table and
  // reports a missing identifier.
  int SetId(uint16_t id, int64_t start_pos);
  int SetId(uint16_t id);
  // Copies the entry with identifier `id` found from `start_pos` backwards (0: the last row) into
  // `entry`; the SetId result. The two-argument form reports a missing identifier.
  int GetErrorEntry(uint16_t id, ErrorEntryGroup& entry, int64_t start_pos);
  int GetErrorEntry(uint16_t id, ErrorEntryGroup& entry);
  // `id` -1 names the default category.
  void SetCategory(int32_t id, std::string_view category);
  // The entry's category, or the default category when it has none or there is no such entry.
  std::string GetCategory(int32_t id);
  void SetDefaultCategory(std::string_view category);
  std::string GetDefaultCategory();

  // The calling thread's context, cut to 254 characters; the short forms drop trailing blanks.
  void SetFieldName(std::string_view name);
  void SetFileName(std::string_view name);
  void SetKeyName(std::string_view name);
  void SetMessageText(std::string_view text);
  void SetField(std::string_view name);
  void SetFile(std::string_view name);
  void SetKey(std::string_view name);
  // Captures the runtime's current error state into the calling thread's status.
  void SetErrors();
  // Makes entry `id` the thread's current error (an empty entry when there is none, reported).
  void StoreErrorEntry(uint16_t id);
  int32_t GetErrorBufferId();
  std::string GetErrorBufferTitle();
  uint8_t GetErrorBufferFatality();
  // Copies the calling thread's whole status into `target`.
  void GetAllStatusVariables(ErrorStatusGroup& target);

  uint8_t GetSilent() const { return Silent.load(); }
  uint8_t GetLogErrors() const { return LogErrors.load(); }
  int32_t GetHistoryThreshold();
  void SetHistoryThreshold(int32_t threshold);
  int32_t GetHistoryViewLevel();
  void SetHistoryViewLevel(int32_t level);
  uint8_t GetHistoryResetOnView();
  void SetHistoryResetOnView(uint8_t reset);

  // Each thread's stack of procedure names: a name is pushed on entry, and the call without a name
  // on exit pops the thread's last one.
  void SetProcedureName(std::string_view name);
  void SetProcedureName();
  // The calling thread's innermost procedure name; empty when it has none.
  std::string GetProcedureName();
  // Changes whenever any thread's procedure names change (or the stacks are made or disposed
  // of): a caller that keeps a name it got may use it while this stays the same.
  uint64_t GetProcedureNamesVersion() const { return ProcNamesVersion.load(); }

  // Raises error `id`: captures the runtime's error state, then TakeError.
  Level Throw(uint16_t id);
  // Raises error `id` with `message` (trailing blanks dropped) as the free text of the context.
  Level ThrowMessage(uint16_t id, std::string_view message);
  // Makes `id` the current error and dispatches it by severity. An identifier that is not in the
  // table is reported and then shows nothing: the result is Level::Benign.
  Level TakeError(uint16_t id);
  // Shows entry `id` with the given buttons, without log, history or the runtime's error state;
  // returns the button pressed, or `default_button` at once when Silent.
  int32_t Message(uint16_t id, int32_t buttons, int32_t default_button);
  void ResetHistory();
  // The current error's message with its %-tokens replaced by the thread's context.
  std::string SubsString();

  // Assigned directly by the owner: Silent shows nothing (logging and history go on), LogErrors
  // writes every message to the log, MsgStyle is the style of every message box.
  std::atomic<uint8_t> Silent{0};
  std::atomic<uint8_t> LogErrors{0};
  std::atomic<int16_t> MsgStyle{0};

 private:
  // The calling thread's status; null, reported, when Init has not given one or the thread has
  // no instance.
  ErrorStatusGroup* ThreadStatus();
  // Whether Init gave a status object; reported when not.
  bool StatusSet();
  // The position of the calling thread's last procedure-name row, 0 when none. REQUIRES: the lock.
  int64_t FindProcedureRow();
  void WriteLog(std::string_view txt);
  void RecordHistory(std::string_view txt);

  CriticalSection CritSect;
  InternedString DefaultCategory;
  std::unique_ptr<runtime::Queue<ErrorEntryGroup>> Errors;
  ErrorLogInterface* ErrorLog = nullptr;  // must outlive its installation
  std::unique_ptr<ErrorHistoryList> History;
  std::unique_ptr<runtime::Queue<ProcedureNameRow>> ProcNames;
  // One counter for every error manager of the process, so that a version never repeats.
  static inline std::atomic<uint64_t> ProcNamesVersion{0};
  std::unique_ptr<StandardErrorLogClass> StdErrorLog;
  int32_t HistoryThreshold = 0;
  int32_t HistoryViewLevel = 3;
  uint8_t HistoryResetOnView = 0;
  std::atomic<runtime::ThreadInstance<ErrorStatusClass>*> Status{nullptr};
};

}  // namespace framework
