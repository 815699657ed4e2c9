// Runs one of the project's programs as a child process and collects what
// it printed and its exit status.
#pragma once

#include <string>
#include <vector>

struct ProgramResult {
    int status = -1;        // exit status, or -1 when it did not exit normally
    std::string out, err;
};

// `program` is a file name in the build tree (QST_BINARY_DIR); stdin is
// /dev/null and the run is ended after `timeoutSeconds`.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds = 60);
