// A reader of standard output that goes away (`tumblewell | head -n 1`) must
// not end the game: writing to it then fails, and the wall trace stops
// (Editing.cpp), but play goes on.
#pragma once

// Before anything is written to standard output.
void keepRunningWhenOutputCloses();
