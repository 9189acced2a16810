#pragma once
// The console command language for a human operator (switch "-c").
#include "frontend/console_commands.h"

// Interprets one command line.
void console_command(char* command);

// Splits a command at spaces into at most ten words of at most 127
// characters; missing words are empty.
void split_console_command(const char* text, ConsoleCommand* out);

// The board, or the evaluation breakdown while the debug display is on.
void print_position();

// Sets the game position from a FEN text; a position not to play from is
// refused with "illegal position: <reason>" and the game stays as it was.
void console_set_position(const char* fen);

// Game navigation and files (console_game.cpp).
void console_undo();
void console_redo();
void console_jump(int target);
void console_load(const char* file, const char* selector);
void console_save();

// The board editor (console_edit.cpp).
void console_edit();
