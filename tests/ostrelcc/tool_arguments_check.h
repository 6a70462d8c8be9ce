#pragma once

// The property that every path a user chooses (the C file and its folder, the assembler file,
// the library) reaches avr-gcc, avr-objcopy, avr-objdump and avr-size as one whole argument
// and never as an option. Shared by the property test and the fuzz target.

#include "plan.h"
#include "project_build.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace ostrel::cc::check {

// Put into every user path, so that its arguments can be told from the tools' own words.
inline constexpr char kMarker = '\x7f';

struct UserPaths
{
    std::string cFile;
    std::string asmFile; // empty: none
    std::string libFile; // empty: none
};

// Empty when the property holds, otherwise what broke it.
inline std::string CheckToolArguments(const UserPaths &paths)
{
    std::vector<std::string> arguments = { paths.cFile, "/c4", "/x", "/s", "/o0x40" };
    if (!paths.asmFile.empty())
        arguments.push_back("/a" + paths.asmFile);
    if (!paths.libFile.empty())
        arguments.push_back("/L" + paths.libFile);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    const Options &options = parsed.options;
    if (options.cFile != paths.cFile || options.asmFile != paths.asmFile
        || options.libFiles != std::vector<std::string>(!paths.libFile.empty(), paths.libFile)
        || !options.includeSource || !options.sre)
        return "the arguments were not taken whole";

    const BuildFiles files = MakeBuildFiles(paths.cFile, "/tmp/ostrelcc-t");
    const bool withAsm = !options.asmFile.empty();
    std::vector<Step> steps = { CompileStep(options, files), AssembleCStep(options, files),
        AssembleStartupStep(options, files), LinkStep(options, files, withAsm, true),
        HexStep(files), EepromStep(files), ListingStep(files), SourceNamesStep(files),
        SizeStep(files) };
    if (withAsm)
        steps.push_back(AssembleAsmStep(options, files));

    // The whole paths a user path may reach a tool as.
    std::set<std::string> whole = { paths.cFile, files.Temp(files.base + ".s"),
        files.Temp(files.base + ".o") };
    for (const char *extension : { "elf", "hex", "eep", "map" })
        whole.insert(files.Output(extension));
    if (withAsm) {
        whole.insert(paths.asmFile);
        whole.insert(std::filesystem::path(paths.asmFile).parent_path().string());
        whole.insert(
            files.Temp("asm-" + std::filesystem::path(paths.asmFile).stem().string() + ".o"));
    }
    if (!paths.libFile.empty())
        whole.insert(paths.libFile);

    // The same paths in a project: the assembler file and a second C file as /f sources, the
    // C file's folder as an include folder, the library twice.
    const std::string folder = std::filesystem::path(paths.cFile).parent_path().string();
    const std::string second = folder + "/second.c";
    std::vector<std::string> projectArguments = arguments;
    for (const std::string &word :
        std::vector<std::string> { "/f" + second, "/I" + folder, "/DNAME=1", "/F8000000" })
        projectArguments.push_back(word);
    if (!paths.asmFile.empty())
        projectArguments.push_back("/f" + paths.asmFile);
    if (!paths.libFile.empty())
        projectArguments.push_back("/L" + paths.libFile);
    const Options project = ParseCommandLine(projectArguments).options;
    if (project.sourceFiles.size() != (paths.asmFile.empty() ? 1u : 2u)
        || project.sourceFiles[0] != second || project.includeFolders != std::vector { folder })
        return "the project's arguments were not taken whole";
    const ProjectPlan plan = PlanProject(project, files, true);
    for (const CompileUnit &unit : plan.units) {
        steps.insert(steps.end(), unit.steps.begin(), unit.steps.end());
        for (const std::string *path :
            { &unit.source, &unit.object, &unit.depFile, &unit.assembly })
            if (!path->empty())
                whole.insert(*path);
    }
    steps.push_back(plan.link);
    whole.insert(folder);
    whole.insert(second);

    std::set<std::string> seen;
    for (const Step &step : steps) {
        for (size_t i = 1; i < step.argv.size(); ++i) {
            const std::string &argument = step.argv[i];
            if (argument.find(kMarker) == std::string::npos)
                continue;
            if (argument[0] == '-' || argument[0] == '@')
                return step.argv[0] + " takes '" + argument + "' for an option";
            std::string path = argument;
            if (path.rfind("./", 0) == 0 && whole.count(path.substr(2)))
                path.erase(0, 2);
            if (!whole.count(path))
                return step.argv[0] + " gets a path inside '" + argument + "'";
            seen.insert(path);
            if (path == files.Output("map")
                && std::vector<std::string>(step.argv.begin() + static_cast<long>(i) - 3,
                       step.argv.begin() + static_cast<long>(i))
                    != std::vector<std::string> { "-Xlinker", "-Map", "-Xlinker" })
                return "the map path does not follow -Xlinker -Map -Xlinker";
        }
    }
    for (const std::string *path : { &paths.cFile, &paths.asmFile, &paths.libFile, &second })
        if (!path->empty() && !seen.count(*path))
            return "'" + *path + "' reaches no tool whole";
    return {};
}

} // namespace ostrel::cc::check
