// SQLite opened when the first MBTiles file is, not when the program starts
// (see platform/lazy_library.h); only map packages made from MBTiles need it.
// Without the library no file opens, as with a file that is not a database.

#include <sqlite3.h>

#include "platform/lazy_library.h"

namespace {

TRAKOMER_LAZY_LIBRARY(Sqlite, "libsqlite3.so.0")

}  // namespace

extern "C" {

TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_open_v2,
                       (const char* path, sqlite3** db, int flags, const char* vfs),
                       (path, db, flags, vfs), SQLITE_CANTOPEN)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_close, (sqlite3 * db), (db), SQLITE_OK)
TRAKOMER_LAZY_FUNCTION(Sqlite(), const char*, sqlite3_errmsg, (sqlite3 * db), (db),
                       "SQLite is not installed")
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_prepare_v2,
                       (sqlite3 * db, const char* sql, int size, sqlite3_stmt** statement,
                        const char** tail),
                       (db, sql, size, statement, tail), SQLITE_ERROR)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_bind_int,
                       (sqlite3_stmt * statement, int index, int value),
                       (statement, index, value), SQLITE_ERROR)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_step, (sqlite3_stmt * statement), (statement),
                       SQLITE_ERROR)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_reset, (sqlite3_stmt * statement), (statement),
                       SQLITE_ERROR)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_finalize, (sqlite3_stmt * statement), (statement),
                       SQLITE_OK)
TRAKOMER_LAZY_FUNCTION(Sqlite(), const void*, sqlite3_column_blob,
                       (sqlite3_stmt * statement, int column), (statement, column), nullptr)
TRAKOMER_LAZY_FUNCTION(Sqlite(), int, sqlite3_column_bytes, (sqlite3_stmt * statement, int column),
                       (statement, column), 0)
TRAKOMER_LAZY_FUNCTION(Sqlite(), const unsigned char*, sqlite3_column_text,
                       (sqlite3_stmt * statement, int column), (statement, column), nullptr)

}  // extern "C"
