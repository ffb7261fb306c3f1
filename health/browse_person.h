#pragma once
// The people list: one row per person of the household in name order, on a thread of its own.
// Insert, change, delete and view run the health-profile form on the list's thread. The list
// keeps the shared personname on the person whose row is highlighted, and names the person again
// just before a change opens the form.
namespace health {

void BrowsePerson();

}  // namespace health
