#pragma once

#include <functional>

// What the caller of a file encoder is told and asked between chunks of samples.
struct EncodeHooks {
    // Progress from 0 to 100, once per chunk.
    std::function<void(int percent)> SetProgress;
    // Lets the window process its pending messages between chunks.
    std::function<void()> ProcessEvents;
    // Asked once per chunk: true (the program is ending) stops the encoding after the current
    // chunk; the partial file is then removed.
    std::function<bool()> Stopped;
};
