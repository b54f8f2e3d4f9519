#pragma once

#include <string>

#include "field_reference.hpp"

// Empty when the field writers write value as the references do in both
// field shapes of the standard line and in E13.6; otherwise a one-line
// account of the first disagreement.
std::string field_disagreement(float value);
