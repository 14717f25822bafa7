#pragma once

#include <stdexcept>

// A registry value that cannot be read as the type asked for, or a write the open key refuses.
class RegistryException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
