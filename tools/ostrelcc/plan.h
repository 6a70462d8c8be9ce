#pragma once

#include "chips.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::cc {

// The command line of OSTREL.EXE taken apart.
struct Options
{
    std::string cFile;
    const Chip *chip = nullptr;
    bool sre = false; // /x
    bool waitState = false; // /w
    bool includeSource = false; // /s
    std::optional<uint32_t> sramStart; // /rs0x
    std::optional<uint32_t> sramEnd; // /re0x
    std::optional<uint32_t> stack; // /st0x
    std::optional<uint32_t> codeStartWords; // /o0x, a word address
    std::string asmFile; // /a
    std::vector<std::string> libFiles; // /L, each a library linked after the objects
    // The words of a project with several sources; a run without any of them builds as a
    // single C file always has (see IsProject).
    std::vector<std::string> sourceFiles; // /f
    std::vector<std::string> librarySources; // /b: folders built into libraries
    std::vector<std::string> includeFolders; // /I
    std::vector<std::string> defines; // /D: NAME or NAME=value
    std::optional<uint32_t> clockHz; // /F
    std::vector<std::string> compilerFlags; // /X

    // Whether any of /f, /b, /I, /D, /F or /X was given: then the build compiles into the
    // build folder and only what is out of date.
    bool IsProject() const;
};

struct ParsedCommandLine
{
    Options options;
    std::vector<std::string> errors; // message texts, without the leading "Error: "
    std::vector<std::string> warnings; // likewise, "Warning: "
};

// Whether a word is one of the option words (its value not checked).
bool LooksLikeOption(const std::string &word);

// `arguments` are the program's arguments without the program name: the C file, then the
// option words, each argument one word taken whole (a path after /a or /L may hold blanks;
// an argument is never split at them). Unknown words and values that do not fit the chip are
// reported in errors.
ParsedCommandLine ParseCommandLine(const std::vector<std::string> &arguments);

// The value of a hexadecimal text: digits only, at least one, at most eight.
std::optional<uint32_t> ParseHex(const std::string &text);

// Why a compiler flag of /X is refused, or empty when it may be passed on: flags that load or
// run other code, redirect the tools or their output, or take the next argument as their value.
std::string RefusedCompilerFlag(const std::string &flag);

// Whether a name is a C identifier (a /D name).
bool IsIdentifier(std::string_view name);

// One program run: argv[0] is looked up on PATH. stdoutFile, when set, receives the
// program's standard output (its standard error is still collected as diagnostics).
struct Step
{
    std::vector<std::string> argv;
    std::string stdoutFile;
};

// Names of the files of one build. Outputs lie beside the C file, intermediates in temp.
struct BuildFiles
{
    std::string cFile; // absolute
    std::string dir; // the C file's directory
    std::string base; // the C file's name without its extension
    std::string tempDir; // a private folder in the system's temporary folder
    std::string Output(const std::string &extension) const; // dir/base.extension
    std::string Temp(const std::string &name) const; // tempDir/name
};

BuildFiles MakeBuildFiles(const std::string &absoluteCFile, const std::string &tempDir);

// The start-up assembly for .init1 (SRE/SRW) and the padding of the vector section up to
// the code start address; empty when neither is needed.
std::string StartupAssembly(const Options &options);

// The avr-gcc flags shared by every compile, assemble and link step.
std::vector<std::string> CommonFlags(const Options &options);
// The flags of every C compile after CommonFlags: the language, debug information, size
// optimisation and the warnings that are errors.
std::vector<std::string> CCompileFlags();

// A path as one argument of a tool that no tool takes for an option or a response file: one
// that starts with "-" or "@" gets "./" in front. Every user path reaches the tools through
// this, always as an argument of its own, never glued into an option such as "-Wl,".
std::string PathArgument(const std::string &path);

// The steps of a build, in order. The caller runs them one after the other and stops at the
// first that fails.
Step CompileStep(const Options &options, const BuildFiles &files); // C -> temp .s
Step AssembleCStep(const Options &options, const BuildFiles &files); // temp .s -> .o
Step AssembleAsmStep(const Options &options, const BuildFiles &files);
Step AssembleStartupStep(const Options &options, const BuildFiles &files);
Step LinkStep(const Options &options, const BuildFiles &files, bool withAsm, bool withStartup);
// The link of the given objects and libraries (then the /L libraries), with the /X flags.
Step LinkObjectsStep(const Options &options, const BuildFiles &files,
    const std::vector<std::string> &objects, const std::vector<std::string> &libraries = {});
Step HexStep(const BuildFiles &files);
Step EepromStep(const BuildFiles &files);
// The listing; withSource adds the source lines, which the tool reads from every file the
// debug information names (check them first: see SourceNamesStep).
Step ListingStep(const BuildFiles &files, bool withSource = true);
// The line tables of the ELF, from which DebugSourceNames takes the source files' names.
Step SourceNamesStep(const BuildFiles &files);
Step SizeStep(const BuildFiles &files);

// The linker's memory settings as --defsym words: region sizes of the chip, the external
// SRAM data region, __heap_end and __stack.
std::vector<std::string> LinkerSymbols(const Options &options);

// The size of the data region: the chip's SRAM, or the external SRAM of /rs0x and /re0x.
uint32_t DataRegionBytes(const Options &options);

} // namespace ostrel::cc
