#pragma once

// The audio compression manager check of the reading driver. Conversion and encoding here use
// the program's own routines and libmp3lame, so there is nothing to load or to check: the
// manager counts as present and no dialog is ever shown.
class TMMACM {
  public:
    bool Present() const { return true; }
};
