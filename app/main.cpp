#include <cstdio>
#include <cstdlib>

#include "app/quillsongapp.h"

int main(int argc, char** argv) {
    const int code = RunQuillsong(argc, argv);
    // Everything of the program is saved and closed by now. What is left are the libraries'
    // own globals; Qt Multimedia's connection to PulseAudio among them can abort in libpulse
    // while it is torn down after main (an assertion in its main loop's cleanup), which would
    // turn a clean exit into a crash. The process ends here instead.
    std::fflush(nullptr);
    std::_Exit(code);
}
