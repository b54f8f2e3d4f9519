#include "merge/receptor_check.hpp"

#include "diagnostics.hpp"

namespace {

std::string describe(const ReceptorCheck::Place& place)
{
    return line_of(place.line, place.file) + " " + place.receptor;
}

}  // namespace

std::optional<std::string> ReceptorCheck::warning() const
{
    if (!first_) return std::nullopt;
    return "receptors differ at " + std::to_string(differing_) + " of " + std::to_string(positions_) +
           " data lines; first at " + describe(first_->input) + " against " + describe(first_->last);
}
