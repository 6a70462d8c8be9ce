#include "compile/compile_command.h"

#include "contract/compiler_contract.h"

#include "framework/path_parts.h"
#include "platform/short_path.h"

namespace ostrel {

std::string CompilerProgramPath(const std::string &programDir)
{
    std::string directory = programDir;
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\')
        directory += '/';
    return directory + std::string(contract::kCompilerProgram);
}

std::string CompilerOutputPath(const std::string &cFile)
{
    return DirectoryOf(cFile) + std::string(contract::kMessageFile);
}

std::string CompileCommandLine(
    const std::string &program, const std::string &cFile, const std::string &commandOptions)
{
    return ShortPath(program) + ' ' + ShortPath(cFile) + ' ' + commandOptions;
}

std::vector<std::string> CompileArguments(const std::string &program, const std::string &cFile,
    const std::vector<std::string> &optionWords)
{
    std::vector<std::string> arguments { ShortPath(program), ShortPath(cFile) };
    arguments.insert(arguments.end(), optionWords.begin(), optionWords.end());
    return arguments;
}

} // namespace ostrel
