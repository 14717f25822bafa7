#pragma once

#include <stdexcept>

// A text that does not convert to the number type asked for.
class ConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
