#include "project/compiler_options.h"

#include "contract/compiler_contract.h"
#include "platform/short_path.h"
#include "project/extension_checks.h"

#include <cctype>
#include <cstdio>

namespace ostrel {

namespace {

namespace option = contract::option;

void Append(CompilerOptions &options, const std::string &word)
{
    if (!options.words.empty()) {
        options.displayOptions += "\r\n";
        options.commandOptions += ' ';
    }
    options.displayOptions += word;
    options.commandOptions += word;
    options.words.push_back(word);
}

void AppendAddress(CompilerOptions &options, std::string_view prefix, const std::string &text)
{
    const uint32_t value = ParseHexValue(text);
    if (value == 0)
        return;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%x", value);
    Append(options, std::string(prefix) + digits);
}

std::string ChipOption(int32_t cpuType)
{
    char number = '1';
    switch (cpuType) {
    case CpuAtmega103:
        number = '4';
        break;
    case CpuAt90s8515:
        number = '3';
        break;
    case CpuAt90s4414:
        number = '2';
        break;
    default:
        break;
    }
    return std::string(option::kChip) + number;
}

void AppendEach(CompilerOptions &options, std::string_view word,
    const std::vector<std::string> &values, bool paths)
{
    for (const std::string &value : values)
        Append(options, std::string(word) + (paths ? ShortPath(value) : value));
}

// The extension's settings come after the record's, so a project without them builds with
// exactly the words it always had.
void AppendExtension(CompilerOptions &options, const ProjectExtension &extension)
{
    AppendEach(options, option::kSourceFile, extension.cFiles, true);
    AppendEach(options, option::kSourceFile, extension.asmFiles, true);
    AppendEach(options, option::kLibrary, extension.libraries, true);
    AppendEach(options, option::kLibrarySource, extension.librarySources, true);
    AppendEach(options, option::kIncludeFolder, extension.includeFolders, true);
    AppendEach(options, option::kDefine, extension.defines, false);
    if (!extension.clockHz.empty())
        Append(options, std::string(option::kClock) + extension.clockHz);
    AppendEach(options, option::kCompilerFlag, SplitFlags(extension.extraFlags), false);
}

// Each word is one argument of the compiler, built from one field: no field's text can
// become another word.
CompilerOptions Build(const ProjectRecord &values)
{
    CompilerOptions options;
    Append(options, std::string(option::kSmallModel));
    Append(options, ChipOption(values.cpuType));
    if (values.cpuType == CpuAtmega103) {
        if (values.sreEnable != 0)
            Append(options, std::string(option::kExternalSram));
        if (values.waitState != 0)
            Append(options, std::string(option::kWaitState));
        AppendAddress(options, option::kSramStart, values.extSramStart);
        AppendAddress(options, option::kSramEnd, values.extSramEnd);
        AppendAddress(options, option::kStack, values.stackInit);
    }
    if (values.includeSource != 0)
        Append(options, std::string(option::kSourceListing));
    if (!values.asmFile.empty())
        Append(options, std::string(option::kAssemblerFile) + ShortPath(values.asmFile));
    if (!values.libFile.empty())
        Append(options, std::string(option::kLibrary) + ShortPath(values.libFile));
    Append(options, std::string(option::kCodeStart) + values.codeStart);
    AppendExtension(options, values.extension);
    return options;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

uint32_t ParseHexValue(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // A "0x" prefix counts only when a digit follows; "0x" alone is the number 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && HexDigit(text[i + 2]) >= 0)
        i += 2;
    uint32_t value = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i)
        value = value * 16u + static_cast<uint32_t>(HexDigit(text[i]));
    return negative ? 0u - value : value;
}

CompilerOptions BuildOptionsFromDialog(const ProjectRecord &values)
{
    return Build(values);
}

CompilerOptions BuildOptionsFromProject(const ProjectRecord &project)
{
    return Build(project);
}

void ApplyOptions(ProjectRecord &project, const CompilerOptions &options)
{
    project.displayOptions = options.displayOptions;
    project.commandOptions = options.commandOptions;
}

} // namespace ostrel
