// OSTREL.EXE: the compiler program behind F9, built on the GNU AVR
// toolchain. It runs avr-gcc, avr-objcopy, avr-objdump and avr-size as child processes
// (never through a shell) and writes OUTPUT.ERR beside the C file.

#include "diagnostics.h"
#include "plan.h"
#include "process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace ostrel::cc;

namespace {

const char kInstallHint[] =
    "install the packages gcc-avr, avr-libc and binutils-avr (Debian/Ubuntu: apt-get install "
    "gcc-avr avr-libc binutils-avr)";

std::optional<std::string> ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::vector<std::string>> ReadLines(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

void WriteMessageFile(const fs::path &dir, const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    const fs::path path = dir / "OUTPUT.ERR";
    std::ofstream out(path, std::ios::trunc); // text mode: the platform's line ends
    out << text;
    if (!out)
        std::cerr << "OSTREL.EXE: cannot write " << path.string() << "\n";
    std::cout << text;
}

// A private folder in the system's temporary folder for the intermediate files.
std::string MakeTempDir()
{
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
#ifdef _WIN32
    for (int i = 0; i < 1000; ++i) {
        const fs::path dir = base / ("ostrelcc-" + std::to_string(std::rand()));
        if (fs::create_directory(dir, error))
            return dir.string();
    }
    return {};
#else
    std::string pattern = (base / "ostrelcc-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
#endif
}

fs::path Absolute(const std::string &path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    return (error ? fs::path(path) : absolute).lexically_normal();
}

class Build
{
public:
    Build(Options options, BuildFiles files, MessageList &messages)
        : m_options(std::move(options))
        , m_files(std::move(files))
        , m_messages(messages)
    {
    }

    // Runs one step; false when it could not run or failed.
    bool Run(const Step &step)
    {
        const ProcessResult result = RunProcess(step.argv, step.stdoutFile);
        if (!result.started) {
            m_messages.AddError(result.output + "; " + kInstallHint);
            return false;
        }
        m_messages.AddToolOutput(result.output);
        if (result.exitCode != 0) {
            if (m_messages.Errors() == 0)
                m_messages.AddError(
                    step.argv[0] + " failed with exit status " + std::to_string(result.exitCode));
            return false;
        }
        return true;
    }

    std::optional<MemoryUse> Firmware()
    {
        if (!Run(CompileStep(m_options, m_files)))
            return std::nullopt;
        if (m_options.includeSource) {
            const auto assembly = ReadText(m_files.Temp(m_files.base + ".s"));
            if (!assembly
                || !WriteText(m_files.Output("s"), InterleaveSource(*assembly, ReadLines)))
                m_messages.AddError("cannot write " + m_files.Output("s"));
        }
        if (!Run(AssembleCStep(m_options, m_files)))
            return std::nullopt;
        const bool withAsm = !m_options.asmFile.empty();
        if (withAsm && !Run(AssembleAsmStep(m_options, m_files)))
            return std::nullopt;
        const std::string startup = StartupAssembly(m_options);
        const bool withStartup = !startup.empty();
        if (withStartup) {
            if (!WriteText(m_files.Temp("ostrel-startup.s"), startup)) {
                m_messages.AddError("cannot write the start-up code in " + m_files.tempDir);
                return std::nullopt;
            }
            if (!Run(AssembleStartupStep(m_options, m_files)))
                return std::nullopt;
        }
        if (!Run(LinkStep(m_options, m_files, withAsm, withStartup)))
            return std::nullopt;
        if (!Run(HexStep(m_files)))
            return std::nullopt;
        const ProcessResult size = RunProcess(SizeStep(m_files).argv);
        std::optional<MemoryUse> use;
        if (size.started && size.exitCode == 0)
            use = ParseSizeOutput(size.output);
        if (!use) {
            m_messages.AddError("cannot read the section sizes of " + m_files.Output("elf"));
            return std::nullopt;
        }
        if (use->eeprom > 0 && !Run(EepromStep(m_files)))
            return std::nullopt;
        if (!Run(ListingStep(m_files)))
            return std::nullopt;
        return use;
    }

private:
    Options m_options;
    BuildFiles m_files;
    MessageList &m_messages;
};

void RemoveOutputs(
    const BuildFiles &files, const fs::path &cFile, std::initializer_list<const char *> extensions)
{
    for (const char *extension : extensions) {
        const fs::path output = files.Output(extension);
        std::error_code error;
        if (output.lexically_normal() != cFile)
            fs::remove(output, error);
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    Options &options = parsed.options;
    if (options.cFile.empty()) {
        for (const std::string &error : parsed.errors)
            std::cerr << "Error: " << error << "\n";
        return 1;
    }

    const fs::path cFile = Absolute(options.cFile);
    const fs::path dir = cFile.parent_path();
    std::error_code error;
    const fs::path current = fs::current_path(error);
    MessageList messages({ dir.string(), current.string() });
    BuildFiles files = MakeBuildFiles(cFile.string(), "");
    options.cFile = cFile.string();

    if (!fs::is_directory(dir, error)) {
        std::cerr << "Error: the folder of " << cFile.string() << " does not exist\n";
        return 1;
    }
    // Outputs of an earlier build go first: what is left after this run is this run's.
    RemoveOutputs(files, cFile, { "elf", "hex", "eep", "map", "lss", "s" });

    for (const std::string &text : parsed.errors)
        messages.AddError(text);
    for (const std::string &text : parsed.warnings)
        messages.Add(Diagnostic { Severity::Warning, {}, 0, text });
    if (!fs::is_regular_file(cFile, error))
        messages.AddError(cFile.string() + ": C file not found");
    if (!options.asmFile.empty()) {
        options.asmFile = Absolute(options.asmFile).string();
        if (!fs::is_regular_file(options.asmFile, error))
            messages.AddError(options.asmFile + ": assembler file not found");
    }
    if (!options.libFile.empty()) {
        options.libFile = Absolute(options.libFile).string();
        if (!fs::is_regular_file(options.libFile, error))
            messages.AddError(options.libFile + ": library file not found");
    }
    const Chip &chip = *options.chip;

    auto finish = [&](const std::optional<MemoryUse> &use) {
        const bool built = use && messages.Errors() == 0;
        if (!built)
            RemoveOutputs(files, cFile, { "elf", "hex", "eep", "lss" });
        std::vector<std::string> lines = messages.Lines();
        lines.push_back(SummaryLine(chip, messages.Errors(), messages.Warnings(),
            built ? use : std::nullopt, DataRegionBytes(options)));
        WriteMessageFile(dir, lines);
        return built ? 0 : 1;
    };

    if (messages.Errors() > 0)
        return finish(std::nullopt);

    if (!FindOnPath("avr-gcc")) {
        WriteMessageFile(
            dir, { PadLine(std::string("Error: avr-gcc was not found on PATH: ") + kInstallHint) });
        return 1;
    }

    const std::string tempDir = MakeTempDir();
    if (tempDir.empty()) {
        messages.AddError("cannot create a folder in the temporary folder");
        return finish(std::nullopt);
    }
    files = MakeBuildFiles(cFile.string(), tempDir);
    Build build(options, files, messages);
    const std::optional<MemoryUse> use = build.Firmware();
    fs::remove_all(tempDir, error);
    return finish(use);
}
