// A stand-in for OSTREL.EXE in end-to-end tests. Each run appends to fake-compiler.log beside
// the program: "run", "cwd <directory>", then "arg <argument>" for every argument (the program
// itself first). It then copies fake-compiler.out, if present, to OUTPUT.ERR in the directory
// of its first argument and exits with the number in fake-compiler.status (0 without it).

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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
    std::ifstream script(self + "fake-compiler.out", std::ios::binary);
    if (script && argc > 1) {
        std::ofstream output(
            DirectoryOf(argv[1]) + "OUTPUT.ERR", std::ios::binary | std::ios::trunc);
        output << script.rdbuf();
    }
    int status = 0;
    std::ifstream(self + "fake-compiler.status") >> status;
    return status;
}
