// The program's one world, made on first use.
#include "World.h"

World& world() {
    static World* theWorld = new World;  // never destroyed: its records stay reachable to the end
    return *theWorld;
}
