#include "library/db/SqlStatement.h"

#include <sqlite3.h>

SqlStatement::SqlStatement(sqlite3* db, std::string_view sql) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
        SQLITE_OK) {
        statement_ = nullptr;
        failed_ = true;
    }
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(statement_);
}

SqlStatement& SqlStatement::Bind(int index, int64_t value) {
    if (statement_) sqlite3_bind_int64(statement_, index, value);
    return *this;
}

SqlStatement& SqlStatement::Bind(int index, std::string_view text) {
    if (statement_) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    return *this;
}

SqlStatement& SqlStatement::BindBlob(int index, const void* data, size_t size) {
    if (statement_) {
        sqlite3_bind_blob(statement_, index, data, static_cast<int>(size), SQLITE_TRANSIENT);
    }
    return *this;
}

bool SqlStatement::Step() {
    if (!statement_) return false;
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    failed_ = rc != SQLITE_DONE;
    return false;
}

bool SqlStatement::Run() {
    if (!statement_) return false;
    Step();
    const bool ok = !failed_;
    Reset();
    return ok;
}

void SqlStatement::Reset() {
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

int64_t SqlStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqlStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

std::string SqlStatement::Blob(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    return data ? std::string(static_cast<const char*>(data),
                              static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

bool RunSql(sqlite3* db, const char* sql, std::string* problem) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    if (problem) *problem = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}
