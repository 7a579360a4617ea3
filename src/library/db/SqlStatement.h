#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQL statement, finalised with the object. Parameters are numbered from 1,
// columns from 0.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, std::string_view sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool Prepared() const { return statement_ != nullptr; }
    SqlStatement& Bind(int index, int64_t value);
    SqlStatement& Bind(int index, std::string_view text);
    SqlStatement& BindBlob(int index, const void* data, size_t size);
    // True while there is a row to read.
    bool Step();
    // Runs a statement that returns no rows; true when it succeeded.
    bool Run();
    // Whether the last Step or Run failed (as against reaching the end).
    bool Failed() const { return failed_; }
    void Reset();

    int64_t Int(int column) const;
    std::string Text(int column) const;
    std::string Blob(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    bool failed_ = false;
};

// Runs SQL of one or more statements without parameters; true when all succeeded.
bool RunSql(sqlite3* db, const char* sql, std::string* problem = nullptr);
