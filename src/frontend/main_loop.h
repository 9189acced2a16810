#pragma once
// The interactive loop: every 5 ms the clock check and one command, and
// starting and reporting searches.

void interactive_loop();
