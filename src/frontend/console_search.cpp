// First version: the search's console commands arrive with the search.
#include "frontend/console_commands.h"

int console_search_command(const ConsoleCommand&) { return 0; }
