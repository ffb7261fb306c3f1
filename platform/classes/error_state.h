#pragma once
// One thread's error details: what the error reporter fills its messages' placeholders from, and
// the stack of procedure names that its messages name.
#include <string>
#include <vector>

namespace cls {

class ErrorState {
public:
    int errorCode = 0;
    std::string errorText;  // the driver's text for errorCode, with detail
    std::string file;       // %File
    std::string field;      // %Field
    std::string key;        // %Key
    std::string message;    // %Message
    std::vector<std::string> procedures;  // innermost last

    std::string procedure() const { return procedures.empty() ? std::string() : procedures.back(); }
};

}  // namespace cls
