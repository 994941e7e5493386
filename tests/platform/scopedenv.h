// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace chronivel {

// Sets or unsets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(name, value);
    }
    ~ScopedEnv() { Set(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Changes it again meanwhile; the old value still comes back.
    static void Set(const char* name, const char* value)
    {
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace chronivel
