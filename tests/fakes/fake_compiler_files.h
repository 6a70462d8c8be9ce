#pragma once

#include <string>
#include <vector>

namespace ostrel::test {

// One run of the test compiler as it recorded it.
struct CompilerRun
{
    std::string workingDirectory;
    std::vector<std::string> arguments; // the program first
};

// Puts the test compiler into `programDir` as OSTREL.EXE, with the messages it is to write to
// OUTPUT.ERR and its exit status.
void InstallFakeCompiler(
    const std::string &programDir, const std::string &messages, int status = 0);
// Makes the compiler in `programDir` start a child of its own and then never end.
void MakeFakeCompilerHang(const std::string &programDir);
// The process ids of the hanging compiler and of its child, once it has written them.
std::vector<int> HangingCompilerPids(const std::string &programDir);
// Every run of the compiler in `programDir` so far, oldest first.
std::vector<CompilerRun> CompilerRuns(const std::string &programDir);

} // namespace ostrel::test
