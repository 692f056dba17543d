#ifndef BATTLESHIPS_WINDOW_IDENTITY_H
#define BATTLESHIPS_WINDOW_IDENTITY_H

// Gives the X window of the current OpenGL context (the one GLUT has just
// created) what a desktop needs to tie it to the game's menu entry: the class
// "battleships" / "Battleships", the process id with the machine's name, and
// the game's icon in several sizes. Without a current X window it does
// nothing; the window works the same either way.
void identifyWindowToDesktop();

#endif
