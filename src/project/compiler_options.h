#pragma once

#include "project/project_record.h"

#include <string>
#include <vector>

namespace ostrel {

// The project's settings as compiler option words: one per line for the settings dialog,
// blank-separated for showing, and as a list, each word built from the project's fields and
// passed as one argument (the option text is never split at its blanks).
struct CompilerOptions
{
    std::string displayOptions;
    std::string commandOptions;
    std::vector<std::string> words;
};

// From the settings dialog's current values (the same fields as the record).
CompilerOptions BuildOptionsFromDialog(const ProjectRecord &values);
// From a loaded project: the same words the settings dialog gives for the same record, so a
// reopened project builds with the memory layout it holds.
CompilerOptions BuildOptionsFromProject(const ProjectRecord &project);

// Stores the result in the record's two option strings.
void ApplyOptions(ProjectRecord &project, const CompilerOptions &options);

// The value of a hexadecimal text as the C "%x" conversion reads it: leading blanks, an
// optional sign and "0x" prefix, digits up to the first other character; 0 without digits.
uint32_t ParseHexValue(const std::string &text);

} // namespace ostrel
