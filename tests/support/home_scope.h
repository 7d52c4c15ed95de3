// Sets HOME for the life of the object and puts the old value back.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tw::testing {

class HomeScope {
public:
    explicit HomeScope(const char* home) {
        if (const char* saved = std::getenv("HOME")) saved_ = saved;
        if (home != nullptr) {
            ::setenv("HOME", home, 1);
        } else {
            ::unsetenv("HOME");
        }
    }
    ~HomeScope() {
        if (saved_) {
            ::setenv("HOME", saved_->c_str(), 1);
        } else {
            ::unsetenv("HOME");
        }
    }
    HomeScope(const HomeScope&) = delete;
    HomeScope& operator=(const HomeScope&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace tw::testing
