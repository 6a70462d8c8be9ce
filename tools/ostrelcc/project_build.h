#pragma once

// The build of a project with several sources (Options::IsProject): every source is compiled
// into an object of its own in the build folder, only when it is out of date, library folders
// are archived, and everything is linked.
//
// The build folder is <C file's folder>/.ostrel-build/<C file's base name>/. An object is
// named <source's base name>-<12 hex digits of a hash of the source's absolute path>.o, so
// that two sources of one name in different folders never share an object; beside it lie
// avr-gcc's dependency file (.d) and the stamp of its command lines (.cmd). A library folder
// becomes lib<folder name>.a there.

#include "plan.h"

#include <functional>
#include <string>
#include <vector>

namespace ostrel::cc {

enum class SourceKind {
    C, // .c
    Assembler, // .s, .S, .asm: assembled after the C preprocessor
    Unknown,
};

// By the extension, in any letter case.
SourceKind KindOfSource(const std::string &path);

// "<base name>-<hash>": the name of a source's object, dependency and stamp files.
std::string ObjectStem(const std::string &absoluteSource);

// The files a dependency file of avr-gcc (-MMD -MP, target "x") names for its target, with
// make's escapes undone; the source itself comes first.
std::vector<std::string> ParseDependencies(const std::string &text);

// One source compiled into one object by one or two steps.
struct CompileUnit
{
    std::string source;
    std::string object;
    std::string depFile; // empty: the unit depends on its source only
    std::string stampFile;
    std::string assembly; // the main C file's assembler output, kept for /s
    std::vector<Step> steps;
};

// The command lines of a unit as its stamp holds them.
std::string StampText(const CompileUnit &unit);

// Whether a unit must be compiled: no object, no or another stamp, no dependency file, or a
// dependency that is missing or newer than the object.
bool OutOfDate(const CompileUnit &unit);

struct LibraryPlan
{
    std::string folder;
    std::string archive;
    std::string stampFile;
    std::vector<CompileUnit> units;
    Step archiveStep; // avr-ar of a new archive from the units' objects
};

struct ProjectPlan
{
    std::string buildDir;
    std::vector<CompileUnit> units; // the C file, the /a file, the /f files, the start-up code
    std::vector<LibraryPlan> libraries;
    std::string startupFile; // the start-up assembly's file; empty when there is none
    Step link;
    std::vector<std::string> errors; // a library folder that cannot be listed, two of one name
    std::vector<std::string> warnings; // a library folder without sources
};

std::string BuildFolder(const BuildFiles &files);

// The preprocessor flags of every compile: -D of each /D, -DF_CPU=<hz>UL for /F unless a /D
// sets F_CPU, -I of each /I folder.
std::vector<std::string> PreprocessorFlags(const Options &options);

// The C and assembler sources of a library folder (not its sub-folders), sorted.
std::vector<std::string> LibrarySources(const std::string &folder, std::string &error);

// The whole plan; paths in options are absolute. withStartup: the start-up assembly is built.
ProjectPlan PlanProject(const Options &options, const BuildFiles &files, bool withStartup);

// Runs a step and reports its messages; false when it failed.
using StepRunner = std::function<bool(const Step &)>;
using ErrorReporter = std::function<void(const std::string &)>;

// Compiles what is out of date (every unit, even after one failed, so that every source's
// messages are seen) and archives the libraries. startupText is written to the start-up file
// when it differs. True when all objects and libraries are there for the link.
bool BuildProjectObjects(const ProjectPlan &plan, const std::string &startupText,
    const StepRunner &run, const ErrorReporter &error);

} // namespace ostrel::cc
