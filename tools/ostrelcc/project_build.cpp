#include "project_build.h"

#include "file_checks.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace ostrel::cc {

namespace {

std::string Lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool WriteFile(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// The dependency file's target: a fixed word, so that the object's path, whatever it holds,
// needs no unescaping.
constexpr const char *kDependencyTarget = "x";

std::vector<std::string> DependencyFlags(const std::string &depFile)
{
    return { "-MMD", "-MP", "-MF", PathArgument(depFile), "-MT", kDependencyTarget };
}

Step Gcc(const Options &options)
{
    Step step;
    step.argv = { "avr-gcc" };
    for (const std::string &flag : CommonFlags(options))
        step.argv.push_back(flag);
    return step;
}

void Append(std::vector<std::string> &to, const std::vector<std::string> &words)
{
    to.insert(to.end(), words.begin(), words.end());
}

CompileUnit UnitFiles(const std::string &buildDir, const std::string &source)
{
    const fs::path stem = fs::path(buildDir) / ObjectStem(source);
    CompileUnit unit;
    unit.source = source;
    unit.object = stem.string() + ".o";
    unit.depFile = stem.string() + ".d";
    unit.stampFile = stem.string() + ".cmd";
    return unit;
}

// A C file: compiled to an object, or, for the main C file, to assembler output that /s reads
// and then assembled.
CompileUnit CUnit(const Options &options, const std::string &buildDir, const std::string &source,
    bool keepAssembly)
{
    CompileUnit unit = UnitFiles(buildDir, source);
    Step compile = Gcc(options);
    Append(compile.argv, CCompileFlags());
    Append(compile.argv, PreprocessorFlags(options));
    Append(compile.argv, options.compilerFlags);
    Append(compile.argv, DependencyFlags(unit.depFile));
    compile.argv.emplace_back(keepAssembly ? "-S" : "-c");
    compile.argv.push_back(PathArgument(source));
    compile.argv.emplace_back("-o");
    if (!keepAssembly) {
        compile.argv.push_back(PathArgument(unit.object));
        unit.steps = { compile };
        return unit;
    }
    unit.assembly = fs::path(unit.object).replace_extension(".s").string();
    compile.argv.push_back(PathArgument(unit.assembly));
    Step assemble = Gcc(options);
    Append(assemble.argv,
        { "-x", "assembler", "-c", PathArgument(unit.assembly), "-o", PathArgument(unit.object) });
    unit.steps = { compile, assemble };
    return unit;
}

// An assembler file, preprocessed with the project's defines and include folders, its own
// folder searched for includes as the /a file's is.
CompileUnit AssemblerUnit(
    const Options &options, const std::string &buildDir, const std::string &source)
{
    CompileUnit unit = UnitFiles(buildDir, source);
    Step step = Gcc(options);
    Append(step.argv, { "-x", "assembler-with-cpp", "-Wa,--gdwarf-2" });
    Append(step.argv, PreprocessorFlags(options));
    const std::string folder = fs::path(source).parent_path().string();
    Append(step.argv, { "-I", folder.empty() ? std::string(".") : PathArgument(folder) });
    Append(step.argv, DependencyFlags(unit.depFile));
    Append(step.argv, { "-c", PathArgument(source), "-o", PathArgument(unit.object) });
    unit.steps = { step };
    return unit;
}

CompileUnit SourceUnit(
    const Options &options, const std::string &buildDir, const std::string &source)
{
    return KindOfSource(source) == SourceKind::C ? CUnit(options, buildDir, source, false)
                                                 : AssemblerUnit(options, buildDir, source);
}

std::string LibraryName(const std::string &folder)
{
    fs::path path = fs::path(folder).lexically_normal();
    if (path.filename().empty())
        path = path.parent_path();
    const std::string name = path.filename().string();
    return name.empty() || name == "/" ? "sources" : name;
}

fs::file_time_type WriteTime(const std::string &path, bool &exists)
{
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(path, error);
    exists = !error;
    return time;
}

// Compiles a unit when it is out of date; false when that failed.
bool BringUpToDate(const CompileUnit &unit, const StepRunner &run, bool &compiled)
{
    if (!OutOfDate(unit))
        return true;
    compiled = true;
    std::error_code error;
    // Without its stamp a unit whose compile fails half-way is compiled again next time.
    fs::remove(unit.stampFile, error);
    for (const Step &step : unit.steps)
        if (!run(step))
            return false;
    return WriteFile(unit.stampFile, StampText(unit));
}

} // namespace

SourceKind KindOfSource(const std::string &path)
{
    const std::string extension = Lower(fs::path(path).extension().string());
    if (extension == ".c")
        return SourceKind::C;
    if (extension == ".s" || extension == ".asm")
        return SourceKind::Assembler;
    return SourceKind::Unknown;
}

std::string ObjectStem(const std::string &absoluteSource)
{
    uint64_t hash = 0xcbf29ce484222325u; // FNV-1a
    for (unsigned char c : absoluteSource) {
        hash ^= c;
        hash *= 0x100000001b3u;
    }
    char digits[16];
    std::snprintf(
        digits, sizeof digits, "%012llx", static_cast<unsigned long long>(hash & 0xffffffffffffu));
    return fs::path(absoluteSource).stem().string() + "-" + digits;
}

std::vector<std::string> ParseDependencies(const std::string &text)
{
    const std::string head = std::string(kDependencyTarget) + ":";
    if (text.compare(0, head.size(), head) != 0)
        return {};
    std::vector<std::string> files;
    std::string name;
    auto finish = [&] {
        if (!name.empty())
            files.push_back(name);
        name.clear();
    };
    for (size_t i = head.size(); i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\\' && (next == '\n' || (next == '\r' && i + 2 < text.size()))) {
            finish(); // a continued line
            i += next == '\r' ? 2 : 1;
        } else if (c == '\\' && (next == ' ' || next == '\t' || next == '#')) {
            name += next;
            ++i;
        } else if (c == '$' && next == '$') {
            name += '$';
            ++i;
        } else if (c == '\n' || c == '\r') {
            break; // the end of the rule
        } else if (c == ' ' || c == '\t') {
            finish();
        } else {
            name += c;
        }
    }
    finish();
    return files;
}

std::string StampText(const CompileUnit &unit)
{
    std::string text;
    for (const Step &step : unit.steps) {
        for (const std::string &word : step.argv)
            text += word + '\0';
        text += '\n';
    }
    return text;
}

bool OutOfDate(const CompileUnit &unit)
{
    const auto stamp = ReadText(unit.stampFile);
    if (!stamp || *stamp != StampText(unit))
        return true;
    bool exists = false;
    const fs::file_time_type built = WriteTime(unit.object, exists);
    if (!exists)
        return true;
    std::vector<std::string> dependencies = { unit.source };
    if (!unit.depFile.empty()) {
        const auto text = ReadText(unit.depFile);
        if (!text)
            return true;
        dependencies = ParseDependencies(*text);
        if (dependencies.empty())
            return true;
    }
    for (const std::string &file : dependencies)
        if (WriteTime(file, exists) > built || !exists)
            return true;
    return false;
}

std::string BuildFolder(const BuildFiles &files)
{
    return (fs::path(files.dir) / ".ostrel-build" / files.base).string();
}

std::vector<std::string> PreprocessorFlags(const Options &options)
{
    std::vector<std::string> flags;
    bool clockDefined = false;
    for (const std::string &define : options.defines) {
        flags.push_back("-D" + define);
        clockDefined = clockDefined || define.substr(0, define.find('=')) == "F_CPU";
    }
    if (options.clockHz && !clockDefined)
        flags.push_back("-DF_CPU=" + std::to_string(*options.clockHz) + "UL");
    for (const std::string &folder : options.includeFolders)
        Append(flags, { "-I", PathArgument(folder) });
    return flags;
}

std::vector<std::string> LibrarySources(const std::string &folder, std::string &error)
{
    std::vector<std::string> sources;
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        std::error_code kindError;
        if (it->is_regular_file(kindError)
            && KindOfSource(it->path().string()) != SourceKind::Unknown)
            sources.push_back(it->path().string());
    }
    if (code)
        error = "cannot list the library folder " + folder + ": " + code.message();
    std::sort(sources.begin(), sources.end());
    return sources;
}

ProjectPlan PlanProject(const Options &options, const BuildFiles &files, bool withStartup)
{
    ProjectPlan plan;
    plan.buildDir = BuildFolder(files);
    plan.units.push_back(CUnit(options, plan.buildDir, files.cFile, true));
    if (!options.asmFile.empty())
        plan.units.push_back(AssemblerUnit(options, plan.buildDir, options.asmFile));
    for (const std::string &source : options.sourceFiles)
        plan.units.push_back(SourceUnit(options, plan.buildDir, source));
    if (withStartup) {
        plan.startupFile = (fs::path(plan.buildDir) / "ostrel-startup.s").string();
        CompileUnit unit;
        unit.source = plan.startupFile;
        unit.object = (fs::path(plan.buildDir) / "ostrel-startup.o").string();
        unit.stampFile = unit.object + ".cmd";
        Step step = Gcc(options);
        Append(step.argv,
            { "-x", "assembler", "-c", PathArgument(unit.source), "-o",
                PathArgument(unit.object) });
        unit.steps = { step };
        plan.units.push_back(unit);
    }

    std::map<std::string, std::string> folderOfName;
    std::vector<std::string> archives;
    for (const std::string &folder : options.librarySources) {
        LibraryPlan library;
        library.folder = folder;
        const std::string name = LibraryName(folder);
        if (const auto [it, fresh] = folderOfName.emplace(name, folder); !fresh) {
            plan.errors.push_back("the library folders " + it->second + " and " + folder
                + " would both build lib" + name + ".a; rename one of them");
            continue;
        }
        library.archive = (fs::path(plan.buildDir) / ("lib" + name + ".a")).string();
        library.stampFile = library.archive + ".cmd";
        std::string error;
        const std::vector<std::string> sources = LibrarySources(folder, error);
        if (!error.empty())
            plan.errors.push_back(error);
        if (sources.empty()) {
            if (error.empty())
                plan.warnings.push_back("the library folder " + folder
                    + " holds no C or assembler source; no library is built from it");
            continue;
        }
        library.archiveStep.argv = { "avr-ar", "rcs", PathArgument(library.archive) };
        for (const std::string &source : sources) {
            library.units.push_back(SourceUnit(options, plan.buildDir, source));
            library.archiveStep.argv.push_back(PathArgument(library.units.back().object));
        }
        archives.push_back(library.archive);
        plan.libraries.push_back(library);
    }

    std::vector<std::string> objects;
    for (const CompileUnit &unit : plan.units)
        objects.push_back(unit.object);
    plan.link = LinkObjectsStep(options, files, objects, archives);
    return plan;
}

bool BuildProjectObjects(const ProjectPlan &plan, const std::string &startupText,
    const StepRunner &run, const ErrorReporter &error)
{
    std::error_code code;
    fs::create_directories(plan.buildDir, code);
    if (code || !fs::is_directory(plan.buildDir, code)) {
        error("cannot create the build folder " + plan.buildDir
            + (code ? ": " + code.message() : std::string()));
        return false;
    }
    if (!plan.startupFile.empty() && ReadText(plan.startupFile) != startupText
        && !WriteFile(plan.startupFile, startupText)) {
        error("cannot write the start-up code " + plan.startupFile);
        return false;
    }
    bool ok = true;
    bool compiled = false;
    for (const CompileUnit &unit : plan.units)
        ok = BringUpToDate(unit, run, compiled) && ok;
    for (const LibraryPlan &library : plan.libraries) {
        bool changed = false;
        bool complete = true;
        for (const CompileUnit &unit : library.units)
            complete = BringUpToDate(unit, run, changed) && complete;
        ok = ok && complete;
        if (!complete)
            continue;
        std::string stamp;
        for (const std::string &word : library.archiveStep.argv)
            stamp += word + '\0';
        bool exists = false;
        const fs::file_time_type archived = WriteTime(library.archive, exists);
        for (const CompileUnit &unit : library.units) {
            bool objectExists = false;
            changed = changed || WriteTime(unit.object, objectExists) > archived;
        }
        if (!changed && exists && ReadText(library.stampFile) == stamp)
            continue;
        // A new archive each time: one updated in place would keep the objects of sources
        // that have gone from the folder.
        fs::remove(library.stampFile, code);
        fs::remove(library.archive, code);
        if (!run(library.archiveStep) || !WriteFile(library.stampFile, stamp))
            ok = false;
    }
    return ok;
}

} // namespace ostrel::cc
