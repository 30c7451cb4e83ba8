// The name the program was started by, without its folder: what its
// messages begin with. Each system gives it its own way.
#pragma once

const char* programName();
