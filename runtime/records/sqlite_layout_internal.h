// What the SQLite record store's files share about the schema of a data file: the stored layout,
// the indexes of the keys and the connection set-up. Only runtime/records/sqlite_*.cc use it.
#pragma once

#include <string>

#include "runtime/base/status.h"
#include "runtime/records/file_declaration.h"

struct sqlite3;

namespace runtime {

// The first row of a data file's `layout` table, telling our files from other databases.
inline constexpr const char* kFormatTag = "vardimo-record-file 1";

// The layout stored in a data file, in two parts: the record (length and fields), which decides
// where every value lies, and the keys, which decide only the indexes and can be rebuilt.
struct LayoutText {
  std::string record;
  std::string keys;
  std::string Whole() const { return record + keys; }
};
LayoutText DescribeLayout(const FileDeclaration& file);
// The stored text taken apart again: "record" and "field" lines, and every other line.
LayoutText SplitLayout(const std::string& stored);
// Where `stored` and `declared` first differ, for messages.
std::string FirstDifference(const std::string& stored, const std::string& declared);

// `name` as an SQL identifier.
std::string QuoteName(const std::string& name);
// The name of the index of `key`: its external name, else its label.
std::string IndexName(const KeyDeclaration& key);
// The expression that the index of key `key` orders by.
std::string KeyExpression(const FileDeclaration& file, int key);
// The statement that creates the index of key `key`, in schema `schema` ("" for the default).
// The engine keeps it in its schema without the schema name, as for "".
std::string CreateIndexSql(const FileDeclaration& file, int key, const std::string& schema);

// Opens a connection to the database at `path` with the engine's open `flags`, set up as every
// connection of ours (busy timeout, extended codes, the key function of `file`).
Status OpenConnection(const FileDeclaration& file, const std::string& path, int flags,
                      sqlite3** db);

// True once after the key function failed on this thread, so that the failing statement is
// reported as invalid data and not as an engine fault.
bool TakeKeyFunctionFailure();

}  // namespace runtime
