#pragma once

#include <string>
#include <vector>

namespace ostrel {

// The compiler program beside this program, in the program directory.
std::string CompilerProgramPath(const std::string &programDir);
// Where the compiler leaves its messages: OUTPUT.ERR in the directory of the C file.
std::string CompilerOutputPath(const std::string &cFile);

// The compiler's command line as text: the short paths of the program and of the C file and
// the option text, separated by single blanks, nothing quoted. For showing and for tests; the
// child is started from CompileArguments.
std::string CompileCommandLine(
    const std::string &program, const std::string &cFile, const std::string &commandOptions);
// The same as an argument list: program, C file, then each option word as one argument.
std::vector<std::string> CompileArguments(const std::string &program, const std::string &cFile,
    const std::vector<std::string> &optionWords);

} // namespace ostrel
