// A stand-in for OSTREL.EXE in end-to-end tests. Each run appends to fake-compiler.log beside
// the program: "run", "cwd <directory>", then "arg <argument>" for every argument (the program
// itself first). It then writes fake-compiler.out, if present, to OUTPUT.ERR in the directory
// of its first argument (as the real one does: a new file renamed over the old one) and exits
// with the number in fake-compiler.status (0 without it). With fake-compiler.hang present it
// starts a child, writes both process ids to fake-compiler.pids and never ends.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

[[noreturn]] void Hang(const std::string &self)
{
    const pid_t child = fork();
    if (child == 0) {
        for (;;)
            pause();
    }
    {
        std::ofstream pids(self + "fake-compiler.pids", std::ios::trunc);
        pids << getpid() << ' ' << child << '\n';
    }
    for (;;)
        pause();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string self = DirectoryOf(argv[0]);
    {
        std::ofstream log(self + "fake-compiler.log", std::ios::binary | std::ios::app);
        std::error_code error;
        log << "run\ncwd " << std::filesystem::current_path(error).string() << '\n';
        for (int i = 0; i < argc; ++i)
            log << "arg " << argv[i] << '\n';
    }
    if (std::filesystem::exists(self + "fake-compiler.hang"))
        Hang(self);
    std::ifstream script(self + "fake-compiler.out", std::ios::binary);
    if (script && argc > 1) {
        const std::string output = DirectoryOf(argv[1]) + "OUTPUT.ERR";
        {
            std::ofstream temporary(output + ".new", std::ios::binary | std::ios::trunc);
            temporary << script.rdbuf();
        }
        std::error_code error;
        std::filesystem::rename(output + ".new", output, error);
    }
    int status = 0;
    std::ifstream(self + "fake-compiler.status") >> status;
    return status;
}
