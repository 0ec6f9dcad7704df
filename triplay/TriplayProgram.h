#pragma once

// Triplay from start to end: the unit's state is already set (static data: ReadyToPlay, the
// length table), then the application object, the window (whose construction opens the sound
// device and loads the sounds), and the event loop until the window closes. A failure while
// the sound device is set up ends the program with its message. Returns the exit code.
int runTriplay(int& argc, char** argv);
