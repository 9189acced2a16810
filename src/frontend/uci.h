#pragma once
// The engine's side of the Universal Chess Interface.

// Interprets one command line (without its line feed). Echoes it as
// "CMD: ..." while logging is on. The text may be modified.
void uci_command(char* command);

// The first word of a command (at most 128 characters, after leading spaces)
// and its argument text, which starts one character after that word (empty
// when nothing follows). `word` holds 129 bytes.
const char* split_command(const char* command, char* word);

// "go", "stop" and "ponderhit", which start and end searches.
void uci_go(char* args);
void uci_stop();
void uci_ponderhit();

// "setoption" with its argument text.
void uci_setoption(const char* args);

// "position" with its argument text; the text is cut in place.
void uci_position(char* args);
