#include "platform/closed_output.h"

// A write to a pipe without a reader already fails with an error here.
void survive_closed_output() {}
