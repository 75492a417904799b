#pragma once

#include "scoped_env.h"

#include <string>

// Maps "COMn" to a device path through QUORIX_COMn for the scope.
class ScopedComMapping {
public:
    ScopedComMapping(int comNumber, const std::string& devicePath);

private:
    ScopedEnv variable;
};
