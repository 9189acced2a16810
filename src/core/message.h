#pragma once
// Messages: what the engine tells its user outside the replies of a
// protocol ("Hash table cleared", "log file in use", the configuration
// file's report). A UCI interface reads every line as protocol and may show
// a stray one as an error, so while one is listening a message goes out as
// "info string <text>" and an empty line not at all; the console operator
// and the batch tools get the text as it is.

// Writes the message through print_line, in the form the listener needs.
void print_message(const char* text);
void print_messagef(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The first messages come before the command line says whether the
// interactive loop (and so perhaps an interface) is listening: they are
// held from hold_messages() until release_messages() says who listens.
void hold_messages();
void release_messages(bool interactive);
