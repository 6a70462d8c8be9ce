// OSTREL.EXE: the compiler program behind F9, built on the GNU AVR
// toolchain. It runs avr-gcc, avr-objcopy, avr-objdump and avr-size as child processes
// (never through a shell) and writes OUTPUT.ERR beside the C file.

#include "contract/compiler_contract.h"
#include "contract/file_access.h"
#include "diagnostics.h"
#include "file_checks.h"
#include "image_checks.h"
#include "plan.h"
#include "process.h"
#include "project_build.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace ostrel::cc;
namespace contract = ostrel::contract;

namespace {

const char kInstallHint[] =
    "install the packages gcc-avr, avr-libc and binutils-avr (Debian/Ubuntu: apt-get install "
    "gcc-avr avr-libc binutils-avr)";

// The largest source file whose lines go into the /s listing.
constexpr uint64_t kSourceFileLimit = 16 * 1024 * 1024;

// The lines of a source file the debug information names, for the /s listing. Only a regular
// file within the size limit is read: a name such as a FIFO or /dev/zero (a #line directive
// can name anything) is skipped with a warning. A missing file is skipped silently.
std::optional<std::vector<std::string>> ReadSourceLines(
    const std::string &path, MessageList &messages)
{
    const ostrel::files::ReadResult read = ostrel::files::ReadRegularFile(path, kSourceFileLimit);
    using ostrel::files::ReadStatus;
    if (read.status == ReadStatus::NotRegular)
        messages.Add(Diagnostic { Severity::Warning, {}, 0,
            path + " is not a regular file; its lines are left out of the .s listing" });
    else if (read.status == ReadStatus::TooLarge)
        messages.Add(Diagnostic { Severity::Warning, {}, 0,
            path + " is larger than 16 MiB; its lines are left out of the .s listing" });
    if (read.status != ReadStatus::Ok)
        return std::nullopt;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < read.bytes.size()) {
        size_t end = read.bytes.find('\n', start);
        if (end == std::string::npos)
            end = read.bytes.size();
        lines.push_back(read.bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string Joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

// Writes OUTPUT.ERR in dir whole or not at all; false when it could not be written.
bool WriteMessageFile(const fs::path &dir, const std::vector<std::string> &lines)
{
    const std::string text = Joined(lines);
    std::string error;
    const bool written = ReplaceFile(dir / contract::kMessageFile, text, error);
    if (!written)
        std::cerr << contract::kCompilerProgram << ": " << error << "\n";
    std::cout << text;
    return written;
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

// Whether a tool's failure came from the memory limit.
bool OutOfMemory(const std::string &output)
{
    for (const char *sign : { "out of memory", "memory exhausted", "Cannot allocate memory" })
        if (output.find(sign) != std::string::npos)
            return true;
    return false;
}

class Build
{
public:
    Build(Options options, BuildFiles files, MessageList &messages, ToolLimits limits)
        : m_options(std::move(options))
        , m_files(std::move(files))
        , m_messages(messages)
        , m_limits(limits)
    {
    }

    // Runs one step; false when it could not run or failed.
    bool Run(const Step &step)
    {
        const ProcessResult result = RunProcess(step.argv, step.stdoutFile, m_limits);
        if (!result.started) {
            m_messages.AddError(result.output + "; " + kInstallHint);
            return false;
        }
        if (result.ending == Ending::TimeLimit) {
            m_messages.AddToolOutput(result.output);
            m_messages.AddError(step.argv[0] + " did not finish within the time limit of "
                + std::to_string(m_limits.seconds) + " s and was ended (set " + kTimeLimitVariable
                + " for a longer limit)");
            return false;
        }
        if (result.exitCode != 0 && OutOfMemory(result.output)) {
            m_messages.AddError(step.argv[0] + " reached the memory limit of "
                + std::to_string(m_limits.memoryMiB) + " MiB and was ended (set "
                + kMemoryLimitVariable + " for a higher limit)");
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
        const std::optional<Step> link = m_options.IsProject() ? ProjectObjects() : Objects();
        if (!link || !Run(*link))
            return std::nullopt;
        if (!CheckImage(
                m_files.Output("elf"), m_options.libFiles, *m_options.chip, m_messages, m_limits))
            return std::nullopt;
        if (!Run(HexStep(m_files)))
            return std::nullopt;
        const ProcessResult size = RunProcess(SizeStep(m_files).argv, {}, m_limits);
        std::optional<MemoryUse> use;
        if (size.started && size.exitCode == 0)
            use = ParseSizeOutput(size.output);
        if (!use) {
            m_messages.AddError("cannot read the section sizes of " + m_files.Output("elf"));
            return std::nullopt;
        }
        if (use->eeprom > 0 && !Run(EepromStep(m_files)))
            return std::nullopt;
        if (!Run(ListingStep(m_files, ListingCanReadSources())))
            return std::nullopt;
        return use;
    }

private:
    // The single C file's build in the temporary folder; the link step, or nothing when a
    // step failed.
    std::optional<Step> Objects()
    {
        if (!Run(CompileStep(m_options, m_files)))
            return std::nullopt;
        if (m_options.includeSource)
            WriteSourceListing(m_files.Temp(m_files.base + ".s"));
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
        return LinkStep(m_options, m_files, withAsm, withStartup);
    }

    // A project's build: what is out of date is compiled in the build folder.
    std::optional<Step> ProjectObjects()
    {
        const std::string startup = StartupAssembly(m_options);
        const ProjectPlan plan = PlanProject(m_options, m_files, !startup.empty());
        for (const std::string &text : plan.warnings)
            m_messages.Add(Diagnostic { Severity::Warning, {}, 0, text });
        for (const std::string &text : plan.errors)
            m_messages.AddError(text);
        if (!plan.errors.empty())
            return std::nullopt;
        const bool built = BuildProjectObjects(
            plan, startup,
            [this](const Step &step) {
                return Run(step);
            },
            [this](const std::string &text) {
                m_messages.AddError(text);
            });
        if (!built)
            return std::nullopt;
        if (m_options.includeSource)
            WriteSourceListing(plan.units.front().assembly);
        return plan.link;
    }

    // The /s listing from the C file's assembler output.
    void WriteSourceListing(const std::string &assemblyFile)
    {
        const auto assembly = ReadText(assemblyFile);
        if (!assembly
            || !WriteText(
                m_files.Output("s"), InterleaveSource(*assembly, [this](const std::string &path) {
                    return ReadSourceLines(path, m_messages);
                })))
            m_messages.AddError("cannot write " + m_files.Output("s"));
    }

    // The listing tool reads every source file the debug information names, and a #line
    // directive can name anything: a FIFO would block it, a device fill its memory. When one
    // of them is no regular file within the size limit, the listing goes without source lines.
    bool ListingCanReadSources()
    {
        const ProcessResult names = RunProcess(SourceNamesStep(m_files).argv, {}, m_limits);
        if (!names.started || names.exitCode != 0)
            return false;
        bool readable = true;
        const std::string listing = fs::path(m_files.Output("lss")).filename().string();
        for (const std::string &name : DebugSourceNames(names.output)) {
            const auto status = ostrel::files::ExamineRegularFile(name, kSourceFileLimit);
            const char *problem = status == ostrel::files::ReadStatus::NotRegular
                ? " is not a regular file"
                : status == ostrel::files::ReadStatus::TooLarge ? " is larger than 16 MiB"
                                                                : nullptr;
            if (problem) {
                m_messages.Add(Diagnostic { Severity::Warning, {}, 0,
                    name + problem + "; " + listing + " is written without source lines" });
                readable = false;
            }
        }
        return readable;
    }

    Options m_options;
    BuildFiles m_files;
    MessageList &m_messages;
    ToolLimits m_limits;
};

// A first argument that can only be an option word: the C file is missing.
bool IsOptionWordArgument(const std::string &word)
{
    return LooksLikeOption(word) && word.find('/', 1) == std::string::npos
        && Examine(word).kind == FileKind::Missing;
}

// Reports a run that could not start on standard error and in OUTPUT.ERR in dir, or in the
// current directory when dir cannot take it.
int Refuse(const fs::path &dir, const std::vector<std::string> &texts)
{
    std::vector<std::string> lines;
    for (const std::string &text : texts) {
        std::cerr << contract::kCompilerProgram << ": Error: " << text << "\n";
        lines.push_back(contract::UnplacedMessageLine(contract::kErrorWord, text));
    }
    std::string error;
    if (!ReplaceFile(dir / contract::kMessageFile, Joined(lines), error)) {
        std::error_code currentError;
        const fs::path current = fs::current_path(currentError);
        if (current == dir || !ReplaceFile(current / contract::kMessageFile, Joined(lines), error))
            std::cerr << contract::kCompilerProgram << ": " << error << "\n";
    }
    return 1;
}

// The folder where a run's OUTPUT.ERR goes: the C file's, unless the C file is something else
// than a file (a device, a folder) or its folder cannot be used; then the current directory.
fs::path MessageFolder(const fs::path &cFile, FileKind kind, const fs::path &current)
{
    if (kind == FileKind::Directory || kind == FileKind::Other)
        return current;
    fs::path dir = cFile.parent_path();
    if (Examine(dir).kind != FileKind::Directory)
        return current;
    return dir;
}

// The checks before anything is written; the problems found.
std::vector<std::string> CheckCFile(const fs::path &cFile, const Examined &examined)
{
    switch (examined.kind) {
    case FileKind::Regular:
        return {};
    case FileKind::Missing:
        return { cFile.string() + ": C file not found" };
    case FileKind::Unreadable:
        return { "cannot examine the C file " + cFile.string() + ": " + examined.error };
    default:
        return { cFile.string() + " is not a regular file; give a C source file" };
    }
}

// Makes the path absolute and reports it when it is not of the kind wanted.
void CheckPath(std::string &path, const char *role, FileKind wanted, MessageList &messages)
{
    path = Absolute(path).string();
    const Examined examined = Examine(path);
    if (examined.kind == FileKind::Missing)
        messages.AddError(path + ": " + role + " not found");
    else if (examined.kind == FileKind::Unreadable)
        messages.AddError(
            "cannot examine the " + std::string(role) + " " + path + ": " + examined.error);
    else if (examined.kind != wanted)
        messages.AddError(path + ": the " + std::string(role)
            + (wanted == FileKind::Directory ? " is not a folder" : " is not a regular file"));
}

void CheckInput(std::string &path, const char *role, MessageList &messages)
{
    if (!path.empty())
        CheckPath(path, role, FileKind::Regular, messages);
}

void CheckFolder(std::string &path, const char *role, MessageList &messages)
{
    CheckPath(path, role, FileKind::Directory, messages);
}

int Main(const std::vector<std::string> &arguments)
{
    std::error_code error;
    const fs::path current = fs::current_path(error);
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    Options &options = parsed.options;
    if (options.cFile.empty())
        return Refuse(current, parsed.errors);
    if (IsOptionWordArgument(options.cFile))
        return Refuse(current,
            { "no C file given: the first argument '" + options.cFile
                + "' is an option word (usage: OSTREL.EXE <C file> <option words>)" });

    const fs::path cFile = Absolute(options.cFile);
    const Examined examined = Examine(cFile);
    const fs::path dir = MessageFolder(cFile, examined.kind, current);
    if (const auto problems = CheckCFile(cFile, examined); !problems.empty())
        return Refuse(dir, problems);
    options.cFile = cFile.string();

    BuildFiles files = MakeBuildFiles(cFile.string(), "");
    MessageList messages({ cFile.parent_path().string(), current.string() },
        Target { options.chip, options.codeStartWords, files.Output("map") });
    for (const std::string &text : parsed.errors)
        messages.AddError(text);
    for (const std::string &text : parsed.warnings)
        messages.Add(Diagnostic { Severity::Warning, {}, 0, text });
    CheckInput(options.asmFile, "assembler file", messages);
    std::vector<NamedFile> inputs = { { cFile, "C file" }, { options.asmFile, "assembler file" } };
    for (std::string &library : options.libFiles) {
        CheckInput(library, "library file", messages);
        inputs.push_back({ library, "library file" });
    }
    for (std::string &source : options.sourceFiles) {
        const int errors = messages.Errors();
        CheckInput(source, "source file", messages);
        if (messages.Errors() == errors && KindOfSource(source) == SourceKind::Unknown)
            messages.AddError(source + ": not a C (.c) or assembler (.s, .S, .asm) source file");
        inputs.push_back({ source, "source file" });
    }
    for (std::string &folder : options.librarySources)
        CheckFolder(folder, "library source folder", messages);
    for (std::string &folder : options.includeFolders)
        CheckFolder(folder, "include folder", messages);
    const fs::path messageFile = dir / contract::kMessageFile;
    if (const auto clash = CheckOutputs({ messageFile }, inputs); !clash.empty()) {
        for (const std::string &text : clash)
            std::cerr << contract::kCompilerProgram << ": Error: " << text << "\n";
        return 1;
    }
    std::vector<fs::path> outputs;
    for (const char *extension : { "elf", "hex", "eep", "map", "lss" })
        outputs.emplace_back(files.Output(extension));
    if (options.includeSource)
        outputs.emplace_back(files.Output("s"));
    const std::vector<std::string> clashes = CheckOutputs(outputs, inputs);
    for (const std::string &text : clashes)
        messages.AddError(text);
    const Chip &chip = *options.chip;

    auto finish = [&](const std::optional<MemoryUse> &use) {
        const bool built = use && messages.Errors() == 0;
        if (!built && clashes.empty())
            RemoveOutputs({ files.Output("elf"), files.Output("hex"), files.Output("eep"),
                files.Output("lss") });
        std::vector<std::string> lines = messages.Lines();
        lines.push_back(SummaryLine(chip, messages.Errors(), messages.Warnings(),
            built ? use : std::nullopt, DataRegionBytes(options), messages.Notes()));
        const bool written = WriteMessageFile(dir, lines);
        return built && written ? 0 : 1;
    };

    if (messages.Errors() > 0)
        return finish(std::nullopt);

    // From here on, a run that is ended half-way leaves no earlier result behind.
    std::string unwritten;
    if (!ReplaceFile(messageFile,
            contract::UnplacedMessageLine(
                contract::kErrorWord, "the build of " + cFile.string() + " did not finish")
                + "\n",
            unwritten)) {
        std::cerr << contract::kCompilerProgram << ": " << unwritten << "\n";
        return 1;
    }
    // Outputs of an earlier build go: what is left after this run is this run's.
    for (const std::string &text : RemoveOutputs(outputs))
        messages.AddError(text);
    if (messages.Errors() > 0)
        return finish(std::nullopt);

    if (!FindOnPath("avr-gcc")) {
        WriteMessageFile(dir,
            { contract::UnplacedMessageLine(contract::kErrorWord,
                std::string("avr-gcc was not found on PATH: ") + kInstallHint) });
        return 1;
    }

    const std::string tempDir = MakeTempDir();
    if (tempDir.empty()) {
        messages.AddError("cannot create a folder in the temporary folder");
        return finish(std::nullopt);
    }
    files = MakeBuildFiles(cFile.string(), tempDir);
    Build build(options, files, messages, LimitsFromEnvironment());
    const std::optional<MemoryUse> use = build.Firmware();
    fs::remove_all(tempDir, error);
    return finish(use);
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return Main(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception &exception) {
        // A last guard: whatever was not foreseen still ends as a message and a failure.
        std::error_code error;
        return Refuse(
            fs::current_path(error), { std::string("internal error: ") + exception.what() });
    }
}
