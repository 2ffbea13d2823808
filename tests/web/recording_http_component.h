// A test double of the platform's XML-HTTP component: an automation class with the members
// WebRequest uses, registered in this test process only, which records every member call with
// its arguments and answers from a script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlin::testing {

struct RecordingScript {
  std::string replyHeaders;  // what getAllResponseHeaders gives
  std::string replyBody;     // the bytes of responseBody
  int waitFalseCount = 0;    // waitForResponse answers false this often before true
};

// Calls as "member(argument,argument…)": texts as their bytes, integers in decimal, booleans
// as true/false, a left-out argument as "-".
std::vector<std::string>& RecordedCalls();
RecordingScript& Script();

// Registers the recorder under this ProgID (one more of its ProgIDs), and removes the
// recorder with all its ProgIDs.
void RegisterRecorder(std::string_view progId);
void UnregisterRecorder();
// Leaves no class under this ProgID, whichever held it (the real component too).
void HideProgId(std::string_view progId);

}  // namespace quorlin::testing
