#pragma once
// An interface may close its end of the output pipe while the engine still
// has lines to write (a script piped into it and cut short, a GUI that went
// away mid-search). Such a write must fail quietly rather than end the
// process, so the engine finishes what it was asked and exits with its own
// status.
void survive_closed_output();
