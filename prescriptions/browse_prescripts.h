#pragma once
// The list of all prescriptions, in four sort orders (one per tab), with the total cost of the
// active ones.
#include <cstdint>
#include <string>

namespace prescriptions {

void BrowsePrescripts();

// The total as ?TOTCOST shows it: the picture @n-10.2 for what the 7-digit total holds, an overflow
// mark beyond it.
std::string TotalCostText(std::int64_t cents, bool overflow);

}  // namespace prescriptions
