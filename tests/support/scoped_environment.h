#pragma once
#include <stdlib.h>

#include <string>

namespace palomind::testing {

// Sets an environment variable for the life of the object, so a failing test
// cannot leave it set for the next.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(const char* name, const std::string& value) : name_(name) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironmentVariable() { unsetenv(name_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    const char* name_;
};

}  // namespace palomind::testing
