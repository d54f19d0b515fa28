// WindowManager: the base of every window procedure. It runs the event loop of one window,
// dispatches each event to a virtual handler, carries the window's components, and for a window
// that edits one record of a primary file carries out the insert, change and delete requests:
// priming the record, saving it, asking the user on failure or cancel, and answering the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/util/window_component.h"
#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"
#include "runtime/window/window.h"

namespace framework {

class ErrorClass;
class FileManager;
class RelationManager;
class ToolbarClass;
class TranslatorClass;
class WindowResizeClass;

// Requests: what the window was opened to do (the caller leaves it in GlobalRequest).
inline constexpr uint8_t kInsertRecord = 1;
inline constexpr uint8_t kChangeRecord = 2;
inline constexpr uint8_t kDeleteRecord = 3;
inline constexpr uint8_t kViewRecord = 6;
inline constexpr uint8_t kSaveRecord = 7;  // save-and-stay, set only inside the window
// Responses: the outcome (the caller reads it in GlobalResponse); 0 is not yet decided.
inline constexpr uint8_t kRequestCompleted = 1;
inline constexpr uint8_t kRequestCancelled = 2;

// InsertActionMode: close after the insert, start another without asking, or ask (error 3).
inline constexpr uint8_t kInsertAndClose = 2;
inline constexpr uint8_t kInsertAnother = 3;
inline constexpr uint8_t kInsertAndAsk = 4;
// ChangeActionMode: close after the change (other values keep the window open).
inline constexpr uint8_t kChangeAndClose = 2;
// DeleteActionMode: with or without the relation manager's confirmation.
inline constexpr uint8_t kDeleteWithQuery = 2;
inline constexpr uint8_t kDeleteWithoutQuery = 4;
// CancelAction bits: save the changes when the user cancels; ask first (error 38).
inline constexpr uint8_t kCancelSaves = 1;
inline constexpr uint8_t kCancelAsks = 2;

// Results of the event handlers: go on with the runtime's default handling, end the event loop,
// or the event is consumed.
inline constexpr uint8_t kEventContinue = 0;
inline constexpr uint8_t kEventEndLoop = 3;
inline constexpr uint8_t kEventConsumed = 5;

// The toolbar's history button: restores the focused control's remembered value.
inline constexpr int32_t kToolbarHistoryButton = 3012;

// The module name of the window manager's internal consistency reports.
inline constexpr std::string_view kWindowModule = "window manager";

// Moves a window through a set of records one after another. No window of this program has one.
class FormNavigation {
 public:
  virtual ~FormNavigation() = default;
  // Non-zero when there is a next record to move to.
  virtual uint8_t CanMove() = 0;
  // Moves the primary file to the next record; 0 when it did.
  virtual uint8_t Move() = 0;

 protected:
  FormNavigation() = default;
};

struct WindowButtonRow {
  int32_t Control = 0;
  uint8_t Response = 0;
};

// Kind 0 is a window component, kind 1 a form-navigation component.
inline constexpr int32_t kWindowComponentKind = 0;
inline constexpr int32_t kFormNavigationKind = 1;
struct WindowComponentRow {
  int32_t Kind = kWindowComponentKind;
  WindowComponent* Component = nullptr;
  FormNavigation* Navigation = nullptr;
};

struct WindowFileRow {
  FileManager* File = nullptr;
  uint16_t Saved = 0;  // SaveBuffer handle
};

// A field whose value the window remembers (SaveHistory) and gives back on the history key.
struct FieldHistoryRow {
  runtime::FieldRef Field;
  std::shared_ptr<runtime::OwnedValue> Buffer;  // shared: queue rows are copied
  int32_t Control = 0;
};

// One object per window procedure, used on the thread that runs the window. The components,
// files, primary relation manager, error manager, toolbar, resizer and translator it is given must
// outlive it. The virtual operations stand in slot order; every call from one to another goes
// through the virtual table.
class WindowManager {
 public:
  WindowManager() = default;
  virtual ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // The event loop; nothing for a dead manager.
  virtual void Ask();
  // Base set-up: lists, bind state, default settings. The derived class then sets Request,
  // Errors, FirstField and Primary, adds components, opens its files and calls Open. Non-zero
  // when the window cannot run.
  virtual uint8_t Init();
  // Kills the components, restores the saved buffers, pops the bind state. 5 when dead already
  // or never initialised.
  virtual uint8_t Kill();
  // On the window-opened event: translation, first reset.
  virtual void Open();
  virtual void Open(runtime::Window& Win, runtime::Window* Owner = nullptr);
  // Default values of a new record; set Response to 2 to refuse the insert.
  virtual void PrimeFields();
  // Called by the derived Init before editing; 3 when the window must close without showing.
  virtual uint8_t PrimeUpdate();
  virtual void Reset(uint8_t Force = 0);
  virtual void RestoreField(int32_t Control);
  // Init, Ask, Kill; the response, 2 when none was given.
  virtual uint8_t Run();
  // A numbered child procedure: none here; 2.
  virtual uint8_t Run(uint16_t Number, uint8_t Request);
  virtual void SetAlerts();
  // Gives the response and closes the window.
  virtual void SetResponse(uint8_t Response);
  virtual uint8_t TakeAccepted();
  virtual uint8_t TakeCompleted();
  virtual uint8_t TakeCloseEvent();
  virtual uint8_t TakeEvent();
  virtual uint8_t TakeFieldEvent();
  virtual uint8_t TakeNewSelection();
  virtual uint8_t TakeNotify(int32_t NotifyCode, int32_t Thread, int64_t Parameter);
  virtual uint8_t TakeRejected();
  virtual uint8_t TakeSelected();
  virtual uint8_t TakeWindowEvent();
  virtual void Update();
  virtual void TakeDisableButton(int32_t Control, uint8_t Disable);
  virtual uint8_t InsertAction();
  virtual uint8_t ChangeAction();
  virtual uint8_t DeleteAction();
  virtual uint8_t SaveOnChangeAction();
  virtual uint8_t SaveOnInsertAction();

  // ---- Non-virtual operations ----

  // Appends a window component (it must outlive its registration); assertion without Init.
  void AddItem(WindowComponent& Component);
  void AddItem(TranslatorClass& Translator);
  // Sets the toolbar and initialises it.
  void AddItem(ToolbarClass& Toolbar);
  void DisableCancelControls();
  void EnableCancelControls();
  // Starts the pass over all controls that ends in the completed event (or posts it).
  void PostCompleted();
  void ResetBuffers(uint8_t Force);
  void SaveHistory();

  // ---- Fields, in declaration order ----
  // The settings that share their names with the actions (InsertAction, ChangeAction,
  // DeleteAction) carry "Mode" as fields.

  uint8_t AutoRefresh = 0;
  uint8_t AutoToolbar = 0;
  std::unique_ptr<runtime::Queue<WindowButtonRow>> Buttons;
  std::unique_ptr<runtime::Queue<WindowComponentRow>> CL;
  uint8_t CancelAction = 0;
  uint8_t ChangeActionMode = 0;
  uint8_t Dead = 0;
  uint8_t DeleteActionMode = 0;
  uint8_t BatchProcessing = 0;
  ErrorClass* Errors = nullptr;
  std::unique_ptr<runtime::Queue<WindowFileRow>> Files;  // created by the derived class
  uint8_t FilesOpened = 0;
  int32_t FirstField = 0;
  uint8_t ForcedReset = 0;
  std::unique_ptr<runtime::Queue<FieldHistoryRow>> History;  // created by the derived class
  int32_t HistoryKey = 0;
  uint8_t Inited = 0;  // 1: Open has run; 2: the first event 561 was seen
  uint8_t InsertActionMode = 0;
  std::string LastInsertedPosition;
  int32_t OKControl = 0;
  int32_t SaveControl = 0;
  uint8_t DisableCancelButton = 0;
  uint8_t Opened = 0;
  uint8_t OriginalRequest = 0;
  uint8_t RecordSaved = 0;
  uint8_t BeforeSaveRequest = 0;
  RelationManager* Primary = nullptr;
  uint8_t Request = 0;
  uint8_t ResetOnGainFocus = 0;
  WindowResizeClass* Resize = nullptr;
  uint8_t Response = 0;
  uint16_t Saved = 0;
  FormNavigation* FormVCR = nullptr;
  ToolbarClass* Toolbar = nullptr;
  TranslatorClass* Translator = nullptr;
  int32_t* VCRRequest = nullptr;  // shared with the toolbar
  runtime::Window* MyWindow = nullptr;
  runtime::Window* OwnerWindow = nullptr;

 private:
  // The primary file's access object, or null.
  FileManager* PrimaryFile() const;
  // The update of ChangeAction and SaveOnChangeAction: Primary.Update when the record changed.
  uint8_t UpdateIfChanged(bool* changed);
  // Takes the form-navigation step; 0 when the window moved to the next record.
  uint8_t MoveToNextRecord();
  // After an insert: the next record primed, the buffers saved again, the form shown anew.
  // `restore_primary`: the primary buffer first goes back to Saved. Returns 5.
  uint8_t PrepareNextInsert(bool restore_primary);
  void RedisplayAndSelectFirstField();
  void SaveBuffers();
  bool Changed();
};

}  // namespace framework
