#pragma once

#include <string>

#include "field_reference.hpp"

// Empty when format_real_field writes value as the reference does in both
// field shapes of the standard line; otherwise a one-line account of the
// first disagreement.
std::string field_disagreement(float value);
