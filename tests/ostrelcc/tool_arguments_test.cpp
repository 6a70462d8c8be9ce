// For many generated names, every user path reaches the tools as one whole argument.

#include "tool_arguments_check.h"

#include <gtest/gtest.h>

#include <random>

using namespace ostrel::cc;

namespace {

// A name of 1 to 12 characters that likes to start like an option and to hold commas, '=',
// blanks and newlines, with the marker somewhere in it.
std::string Name(std::mt19937 &random, bool folder)
{
    static const std::string kFirst = "-@ ,=a";
    static const std::string kAny = "abcXYZ019-_.,=@ \n\t()'\"$%*;{}\\";
    auto pick = [&](const std::string &from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    std::string name(1, pick(kFirst));
    const size_t length = std::uniform_int_distribution<size_t>(0, 11)(random);
    for (size_t i = 0; i < length; ++i)
        name += folder && i % 5 == 4 ? '/' : pick(kAny);
    name.insert(std::uniform_int_distribution<size_t>(0, name.size())(random), 1, check::kMarker);
    return name;
}

} // namespace

TEST(ToolArguments, EveryUserPathIsOneWholeArgument)
{
    std::mt19937 random(20260415);
    for (int i = 0; i < 3000; ++i) {
        std::string folder = Name(random, true);
        if (i % 2 == 0)
            folder = "/w/" + folder;
        const check::UserPaths paths { folder + "/" + Name(random, false) + ".c",
            i % 3 == 0 ? "" : Name(random, true) + ".s",
            i % 4 == 0 ? "" : (i % 8 == 1 ? "/l/" : "") + Name(random, false) + ".a" };
        const std::string problem = check::CheckToolArguments(paths);
        ASSERT_EQ(problem, "") << "C file '" << paths.cFile << "', assembler file '"
                               << paths.asmFile << "', library '" << paths.libFile << "'";
    }
}
