#pragma once

#include <string>

#include "util/HeapBuffer.h"

// A saved state of all parameters, in the serialised format of PluginBase::SerializeParams.
struct ParamSnapshot {
    bool initialised = false;
    std::string name = "empty";
    HeapBuffer chunk{4096};
};
