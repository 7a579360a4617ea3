#pragma once

#include <span>

// The library's tables, grown one version at a time. Version n is reached by running the first n
// steps in order, each in the transaction that also sets PRAGMA user_version to n; a step is
// never changed once released, since users' databases stand at every version.
struct SchemaStep {
    int version;
    const char* sql;
};

std::span<const SchemaStep> SchemaSteps();
// The version this program writes and the newest it opens.
int CurrentSchemaVersion();
