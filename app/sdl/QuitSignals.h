#pragma once
// SIGTERM and SIGINT end the demo with exit status 0, as closing its window
// does. In the loop the signal becomes a close event; while a modal message
// box is open (or about to open) the box's own loop would hold the signal back,
// so the process ends at once, and the box's window, which SDL shows from a
// child process, goes with it.

// Installs the handlers; before the display is opened, so that the toolkit
// keeps its own off.
void InstallQuitSignals();

// True once SIGTERM or SIGINT has arrived.
bool QuitSignalled();

// Brackets a modal message box.
void EnterModalBox();
void LeaveModalBox();
