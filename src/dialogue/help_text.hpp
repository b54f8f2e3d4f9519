#pragma once

#include <string>

// What `plotmerge --help` prints: how to run it, the dialogue's questions in
// the order they are asked, an answer file, and where the manual is.
std::string help_text();
