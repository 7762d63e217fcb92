#pragma once
// The service's tables, created on first open. Safe to run on every start.
namespace server {
class Database;
void createSchema(Database& db);
}  // namespace server
