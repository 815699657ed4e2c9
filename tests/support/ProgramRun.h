// Runs one of the project's programs as a child process and collects what
// it printed and its exit status.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ProgramResult {
    int status = -1;        // exit status, or -1 when it did not exit normally
    std::string out, err;
    int msAfterInterrupt = -1;  // from the SIGINT to the exit, when one was sent
};

// `program` is a file name in the build tree (QST_BINARY_DIR); stdin is
// /dev/null and the run is ended after `timeoutSeconds`. When
// `interruptWhen` is given it is asked every 10 ms, and the program gets
// SIGINT (once) as soon as it returns true.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds = 60,
                         const std::function<bool()>& interruptWhen = {});
