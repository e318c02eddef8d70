// Stopping a batch with Ctrl+C without leaving anything half written: the
// first request lets the puzzles being built finish and starts no other;
// a second one ends the program at once, as it would have without this.
#pragma once

// Catches Ctrl+C (and, natively, the termination and hang-up signals) from
// now on.
void CatchStopRequests();

// Whether a stop has been asked for.
bool StopRequested();
