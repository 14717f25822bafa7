#pragma once

// What the program is doing; set only through the main window's SetReadingState.
enum ReadingState { rsIdle = 0, rsPaused = 1, rsReading = 2, rsConverting = 3, rsExiting = 4 };

// Where a reading goes.
enum OutputTarget { otSingleFile = 0, otMultipleFiles = 1, otSpeakers = 2 };
