#pragma once

#include "map/command_line.hpp"

// Reads options.input, writes its map and prints the table of highest
// receptors. Every failure raises RunFailure.
void run_plotmap(const MapOptions& options);
