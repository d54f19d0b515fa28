// The run-time translator: replaces the texts of a window (its title and the text properties of
// each control type) through a table of (text, replacement) pairs, with phrases between percent
// signs translated on their own, and writes the texts it could not translate to an extraction file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/util/critical_section.h"
#include "runtime/values/queue.h"
#include "runtime/window/window.h"

namespace framework {

// The packed form of a translation table: a little-endian USHORT count of pairs, then per pair two
// length-prefixed strings (a length byte and that many bytes), the text and its replacement.
using TranslatorGroup = std::string_view;

// The longest text the table keeps, and the size of the buffer TranslateString translates into.
inline constexpr size_t kTranslationTextLength = 1023;
inline constexpr size_t kTranslationBufferSize = 1024;
// The deepest nesting of phrases Translate follows.
inline constexpr int32_t kMaxTranslationDepth = 32;

struct TranslationRow {
  std::string TextProp;  // key, unique; at most kTranslationTextLength characters
  std::string Replacement;
};

struct TypeMappingRow {
  uint16_t ControlType = 0;
  uint16_t Property = 0;
};

// The built-in table: 70 texts of the standard windows, every replacement empty (1,162 bytes).
TranslatorGroup TRANSLATION();
// The built-in type mapping: 37 records of two little-endian USHORTs (control type, property):
// which text properties of which control type are translated (148 bytes).
std::string_view TRANSLATORTYPEMAPPINGS();

// One translator serves every thread: CritSect, a re-entrant lock, guards both queues. Windows
// are translated on the thread that owns them. The virtual operations stand in slot order.
class TranslatorClass {
 public:
  TranslatorClass();           // Construct
  virtual ~TranslatorClass();  // Destruct: Kill unless it has run
  TranslatorClass(const TranslatorClass&) = delete;
  TranslatorClass& operator=(const TranslatorClass&) = delete;

  // `Win` null: the thread's target window (runtime::TargetWindow); nothing when there is none.
  virtual void TranslateControl(int16_t Control, runtime::Window* Win = nullptr);
  // The window's controls in their order, stopping at the first outside First..Last.
  virtual void TranslateControls(int16_t First, int16_t Last, runtime::Window* Win = nullptr);
  virtual void TranslateProperty(uint16_t Property, int16_t Control,
                                 runtime::Window* Win = nullptr);
  // `Text` translated into a buffer of kTranslationBufferSize characters (longer output is cut).
  virtual std::string TranslateString(std::string_view Text);
  // The title, then every control.
  virtual void TranslateWindow(runtime::Window* Win = nullptr);

  // Creates both queues with the built-in table and type mapping.
  void Init();
  void AddTranslation(TranslatorGroup Group);
  // An empty `Text` is ignored; a known one gets the new replacement. Both are cut to
  // kTranslationTextLength characters.
  void AddTranslation(std::string_view Text, std::string_view Replacement);
  // Writes the translation of `Text` into `Buffer` (`Size` characters, not terminated) and
  // returns the number written. Nesting deeper than kMaxTranslationDepth is reported and
  // contributes nothing.
  int32_t Translate(std::string_view Text, char* Buffer, size_t Size, int32_t Depth);
  // Writes the extraction file when ExtractText names one, then disposes of both queues.
  void Kill();

  // ---- Fields, in declaration order ----

  std::string ExtractText;  // the extraction file; empty: none. After Kill, its full name.
  std::unique_ptr<runtime::Queue<TranslationRow>> Queue;        // ordered by TextProp
  std::unique_ptr<runtime::Queue<TypeMappingRow>> TypeMapping;  // ordered by ControlType
  CriticalSection CritSect;
  uint8_t Killed = 1;

 private:
  // The position of `text` in Queue, or 0. REQUIRES: the lock.
  int64_t Find(std::string_view text) const;
  void WriteExtraction();
};

// The program's one translator (`Translator`), which every window procedure adds to its window
// manager; null before the program installed one. The program makes it when the process starts
// and keeps it until the process ends.
TranslatorClass* GlobalTranslator();
// Installs `translator` for the process and returns the one it replaces. `translator` must
// outlive its installation.
TranslatorClass* SetGlobalTranslator(TranslatorClass* translator);

}  // namespace framework
