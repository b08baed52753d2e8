#pragma once
// The program's window: start-up of the Qt application around TfrmMain.

#include "shell/Program.h"

namespace chipshift {

// Creates the application titled after the program, shows the main window
// centred on the screen and serves events until it is closed. With the
// environment variable CHIPSHIFT_SCREENSHOTS naming a folder, the window
// instead walks through its modes and a short batch run, saves a picture of
// each into that folder and quits.
int runWindow(const Program& program, int argc, char** argv);

}  // namespace chipshift
