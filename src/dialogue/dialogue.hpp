#pragma once

#include "merge/merge_warnings.hpp"

// Conducts the whole run: asks the questions, opens the inputs and outputs at
// their fixed points, merges, and closes every file. A failure leaves it as
// RunFailure, with every file opened so far closed and its buffer written out;
// what warrants a warning is in warnings either way.
void run_dialogue(MergeWarnings& warnings);
