#pragma once

#include "project/project_record.h"

#include <string>
#include <vector>

namespace ostrel {

// The project's settings as compiler option words: one per line for the settings dialog,
// blank-separated for the command line, and as a list so that each word can be passed as
// one argument.
struct CompilerOptions
{
    std::string displayOptions;
    std::string commandOptions;
    std::vector<std::string> words;
};

// From the settings dialog's current values (the same fields as the record).
CompilerOptions BuildOptionsFromDialog(const ProjectRecord &values);
// From a loaded project: the external SRAM start, end and stack addresses are left out until
// the settings dialog is confirmed again.
CompilerOptions BuildOptionsFromProject(const ProjectRecord &project);

// Stores the result in the record's two option strings.
void ApplyOptions(ProjectRecord &project, const CompilerOptions &options);

// The value of a hexadecimal text as the C "%x" conversion reads it: leading blanks, an
// optional sign and "0x" prefix, digits up to the first other character; 0 without digits.
uint32_t ParseHexValue(const std::string &text);

} // namespace ostrel
