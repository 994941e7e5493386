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
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value)
    {
        if (value) ::setenv(name_, value, 1);
        else ::unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace chronivel
