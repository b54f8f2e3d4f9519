#pragma once

#include <string_view>

// Writes one prompt line to standard output: a blank, the text, LF; it has
// reached the console before the next answer is awaited.
void print_prompt(std::string_view text);

// Conducts the whole run: asks the questions, opens the inputs and outputs at
// their fixed points, merges, and closes every file. A failure leaves it as
// RunFailure, with every file opened so far closed and its buffer written out.
void run_dialogue();
