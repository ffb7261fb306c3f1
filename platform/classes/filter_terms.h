#pragma once
// The parts of a filter stored as text that the database can test before the filter sees a
// record: comparisons of one of the table's fields with a value that reads nothing of the record
// (a constant, today() and sums of it, a bound variable), joined by "and" at the top (parentheses
// around the whole or a part are looked through). Anything under "or" or "not", "<>", and
// comparisons of two of the record's fields are left to the filter, which still tests every
// record read: the conditions only keep the database from handing over records that cannot pass.
//
//     "(PRE:RefillReminderDate =>today() and PRE:RefillReminderDate <= Today()+30)"
//         -> REFILLREMINDERDATE >= today(), REFILLREMINDERDATE <= today() + 30
//
// The names resolve as the filter's do, on the calling thread, where the conditions' values are
// read again at each query.
#include <string_view>
#include <vector>

#include "platform/files/record_view.h"

namespace cls {

std::vector<files::FieldCondition> DatabaseConditionsOf(std::string_view filter, const files::TableFile& file);

}  // namespace cls
