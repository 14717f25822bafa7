#pragma once

#include <stdexcept>

// Raised when an operation would remove an article that is being read.
class EMemoEntryLocked : public std::runtime_error {
  public:
    EMemoEntryLocked() : std::runtime_error("Memo Entry Locked") {}
};
