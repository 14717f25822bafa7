#pragma once

// Runs the program: single-instance check, debug log rotation, the main window and the event
// loop. Returns the process exit code.
int RunQuillsong(int argc, char** argv);
