#pragma once
// SQLite access for the review service: a move-only connection, prepared
// statements, and transactions that roll back unless committed.
//
// Threads: a Database may be shared by the server's worker threads; every use
// must happen inside a Transaction, which holds the connection's mutex for its
// lifetime, so statements never run concurrently on one connection.
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace server {

class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement; finalised on destruction. Parameters are 1-based,
// columns 0-based (as in SQLite).
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::string_view value);
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<int64_t>(value)); }

    // Runs one step; true while a row is available. Throws DbError on failure.
    bool step();
    // Runs the statement to its end (for writes).
    void run();

    std::string text(int column) const;
    int64_t integer(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Database {
public:
    // Opens (creating) the database file and sets WAL journaling, foreign keys and
    // a busy timeout so that the admin command line can work beside a running server.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Statement prepare(std::string_view sql);
    // Runs fixed SQL without parameters (schema, transaction control).
    void exec(std::string_view sql);
    int64_t lastInsertId() const;
    int changes() const;

    std::mutex& mutex() { return mutex_; }

private:
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

// Locks the connection and begins an immediate transaction; rolls back on
// destruction unless commit() ran.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    Database& db() { return db_; }

private:
    Database& db_;
    std::unique_lock<std::mutex> lock_;
    bool done_ = false;
};

}  // namespace server
