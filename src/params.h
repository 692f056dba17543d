#ifndef BATTLESHIPS_PARAMS_H
#define BATTLESHIPS_PARAMS_H

// Slots of the game's command line, in argument order.
enum ParamSlot {
    PARAM_WIDTH = 0,
    PARAM_HEIGHT,
    PARAM_AIRCRAFT,
    PARAM_BATTLESHIPS,
    PARAM_SUBMARINES,
    PARAM_DESTROYERS,
    PARAM_DIFFICULTY,
    PARAM_COUNT
};

// Fills params with width, height, the counts of aircraft carriers,
// battleships, submarines and destroyers, and the difficulty (0 Easy, else
// Hard). Defaults 14 14 2 3 4 3 1; each of argv[1..7] that is given is read as
// an unsigned int the way a string stream reads it and stored as an int; an
// empty or blank argument keeps its default; later arguments are ignored.
// Width and height come out at least 1; nothing is ever rejected or printed.
void readParams(int argc, char** argv, int params[7]);

#endif
