#pragma once
// Whether a database file is one of this program's, decided by reading alone: nothing is written
// to a file before it is accepted, so a file of another program keeps its bytes and gets no side
// files. A file made by this program carries kApplicationId; a file of the earlier releases
// (which had none) is taken when every table it holds is of the driver's form.
#include <cstdint>
#include <string>

namespace files {

class Connection;
struct StoreError;

// PRAGMA application_id of this program's data files ("Prsc").
inline constexpr std::int32_t kApplicationId = 0x50727363;

// kNoError when the file at c is this program's (or holds nothing yet); otherwise
// kInvalidRecordDeclaration with e->foreignFile set and nothing changed.
int acceptFile(Connection& c, StoreError* e);

// The words for a file that is not this program's, naming it.
std::string foreignFileCause(const std::string& path);

}  // namespace files
