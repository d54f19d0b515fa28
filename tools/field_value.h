// Field values as the data tool writes and reads them in CSV cells (UTF-8 text): whole numbers,
// decimals with a "." point, dates YYYY-MM-DD, times HH:MM[:SS[.cc]] and text, converted to and
// from the bytes of one field element of a record.
#pragma once

#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

namespace tools {

// Reads `text` as a value of `field` and stores it in `element` (field.size bytes):
// - BYTE, SHORT, USHORT, LONG, ULONG: a whole number in the type's range; empty is 0.
// - DECIMAL: digits with at most one "." point and an optional sign, within the field's digits
//   and places; empty is 0.
// - a date: YYYY-MM-DD from 1801 to 9999; empty is no date (0).
// - a time: HH:MM, HH:MM:SS or HH:MM:SS.cc (hundredths); empty is no time (0).
// - date and time fields also take #N: the stored number N as it is (export writes a value that
//   is no date or time that way).
// - STRING(n): UTF-8 text of at most n characters that Windows-1252 can hold; stored
//   blank-padded.
// Numbers, dates and times may have blanks around them. On error returns kInvalidData with the
// problem as its message and leaves `element` unspecified.
runtime::Status ParseFieldValue(const runtime::FieldDeclaration& field, std::string_view text,
                                char* element);

// The value of `element` (field.size bytes) in the form ParseFieldValue reads, so that reading it
// back gives the same bytes: 0 dates and times empty, text without its trailing blanks, decimals
// in their shortest form ("1500.5"). kInvalidData when the bytes are no value of the field (a
// DECIMAL whose half-bytes are not digits).
runtime::Status FormatFieldValue(const runtime::FieldDeclaration& field, const char* element,
                                 std::string* out);

// "BYTE", "DECIMAL(11,2)", "STRING(70)", ...: the type as describe shows it.
std::string TypeText(const runtime::FieldDeclaration& field);

// The label of element `element` (1-based) of `field` as CSV headers name it: "FUN:NOME", and
// "FUN:PPP:CATDATA[2]" for an array's element.
std::string ElementLabel(const runtime::FieldDeclaration& field, int element);

}  // namespace tools
