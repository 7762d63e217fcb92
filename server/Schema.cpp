#include "server/Schema.h"

#include "server/Database.h"

namespace server {

namespace {

constexpr const char* kStatements[] = {
    R"(CREATE TABLE IF NOT EXISTS users(
         id INTEGER PRIMARY KEY AUTOINCREMENT,
         phone TEXT NOT NULL UNIQUE,
         mail TEXT NOT NULL UNIQUE COLLATE NOCASE,
         name TEXT NOT NULL,
         pwhash TEXT NOT NULL,
         active INTEGER NOT NULL DEFAULT 0,
         quota_mb INTEGER NOT NULL DEFAULT 1024,
         created TEXT NOT NULL))",
    // A catalogue entry: a folder (item_type 0) or a drawing (1) of its owner.
    // file_id is the client's GUID; stored is the file's name in the file folder.
    R"(CREATE TABLE IF NOT EXISTS entries(
         seq INTEGER PRIMARY KEY AUTOINCREMENT,
         file_id TEXT NOT NULL UNIQUE,
         owner INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
         pid TEXT NOT NULL DEFAULT '',
         name TEXT NOT NULL,
         item_type INTEGER NOT NULL,
         stored TEXT NOT NULL DEFAULT '',
         size INTEGER NOT NULL DEFAULT 0,
         modified TEXT NOT NULL))",
    "CREATE INDEX IF NOT EXISTS entries_owner ON entries(owner)",
    R"(CREATE TABLE IF NOT EXISTS tasks(
         id INTEGER PRIMARY KEY AUTOINCREMENT,
         file_id TEXT NOT NULL,
         author INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
         msg_info TEXT NOT NULL,
         msg_date TEXT NOT NULL,
         status INTEGER NOT NULL DEFAULT 0,
         stored TEXT NOT NULL DEFAULT ''))",
    "CREATE INDEX IF NOT EXISTS tasks_file ON tasks(file_id)",
    // account is a phone number, a mail address, or "*" for everybody.
    R"(CREATE TABLE IF NOT EXISTS messages(
         id INTEGER PRIMARY KEY AUTOINCREMENT,
         account TEXT NOT NULL,
         msg_date TEXT NOT NULL,
         text TEXT NOT NULL))",
    // owner shares the whole library with member.
    R"(CREATE TABLE IF NOT EXISTS members(
         owner INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
         member INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
         PRIMARY KEY(owner, member)))",
    "CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
};

}  // namespace

void createSchema(Database& db) {
    for (const char* sql : kStatements) db.exec(sql);
}

}  // namespace server
