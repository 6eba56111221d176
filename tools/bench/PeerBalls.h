#pragma once
// Clatterbox's side of the peer-engine comparison: the N-ball drop of
// bench/peers (the same start grid, box, gravity and step) run in a CWorld
// with no scene, through the same timing driver, so that its CSV line sits
// beside the other engines' lines. A rendering context must be current.

// Runs the drop with the peers' options (--n, --seconds, --max-wall, --seed,
// --max-memory-gb, --header, --trace) and prints one CSV line with engine
// "clatterbox" ("clatterbox-all-pairs" when allPairs). Returns the exit code.
int RunPeerBallDrop(int argc, char** argv, bool allPairs);
