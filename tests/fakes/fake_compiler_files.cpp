#include "fakes/fake_compiler_files.h"

#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>

namespace ostrel::test {

void InstallFakeCompiler(const std::string &programDir, const std::string &messages, int status)
{
    const std::filesystem::path dir(programDir);
    std::filesystem::copy_file(OSTREL_FAKE_COMPILER, dir / "OSTREL.EXE",
        std::filesystem::copy_options::overwrite_existing);
    WriteText((dir / "fake-compiler.out").string(), messages);
    WriteText((dir / "fake-compiler.status").string(), std::to_string(status));
}

void MakeFakeCompilerHang(const std::string &programDir)
{
    WriteText((std::filesystem::path(programDir) / "fake-compiler.hang").string(), "");
}

std::vector<int> HangingCompilerPids(const std::string &programDir)
{
    std::ifstream file(std::filesystem::path(programDir) / "fake-compiler.pids");
    std::vector<int> pids;
    for (int pid = 0; file >> pid;)
        pids.push_back(pid);
    return pids.size() == 2 ? pids : std::vector<int> {};
}

std::vector<CompilerRun> CompilerRuns(const std::string &programDir)
{
    std::vector<CompilerRun> runs;
    std::ifstream log(std::filesystem::path(programDir) / "fake-compiler.log", std::ios::binary);
    for (std::string line; std::getline(log, line);) {
        if (line == "run")
            runs.emplace_back();
        else if (!runs.empty() && line.starts_with("cwd "))
            runs.back().workingDirectory = line.substr(4);
        else if (!runs.empty() && line.starts_with("arg "))
            runs.back().arguments.push_back(line.substr(4));
    }
    return runs;
}

} // namespace ostrel::test
