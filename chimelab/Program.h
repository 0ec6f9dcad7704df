#pragma once

// Chimelab from start to end: the module tables are already filled (static data), then the
// application object, the main window (whose creation runs the start-up), and the event loop
// until the main window closes. Returns the program's exit code.
int runChimelab(int& argc, char** argv);
