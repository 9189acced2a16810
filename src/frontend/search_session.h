#pragma once
// The search as the main loop sees it: starting one, reporting one, and the
// option changes that touch the search's tables and threads.

// Starts the pending search (control.start_request): clock, budget, book,
// waking the search threads. Clears start_request.
void begin_search();

// Reports a search whose threads are all idle: statistics, the final
// progress line, the best-move line (UCI) or the summary (console).
void finish_search();

// True while any search thread is still working.
bool any_search_busy();

// True while a finished "go infinite" result waits for "stop", or a
// finished "go mate" result without its mate does.
bool search_held();

// True when the current search would only end on "stop" or "ponderhit": a
// ponder search, "go infinite", a console analysis without a depth, or
// "go mate" without other limits.
bool search_open_ended();
// Ends the current search as "stop" does: it is reported at once.
void end_search_now();
// Asked by "go" for the search it requests; applied when that search begins.
void request_hold_until_stop(bool hold);
void request_hold_until_mate(bool hold);

// Console self-play: each finished search plays its move and starts the next.
void set_self_play(bool on);

// True when the move of the current search came from the book (the
// best-move line then carries no ponder move).
bool book_move_played();

// Start-up and shutdown of the search side: the search threads, and the
// tables built once from the parameters. False when threads cannot start.
bool start_search_threads();
void stop_search_threads();
void build_search_tables();
void release_hash_table();

// Option effects. Each returns false when memory or threads are not there.
bool resize_hash_table();           // for control.hash_mb
bool change_thread_count(int count);
void clear_hash_table();
void reload_tablebases();           // from control.syzygy_path
