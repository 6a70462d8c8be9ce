#include "project/project_session.h"

#include "project/project_file.h"

namespace ostrel {

void ProjectSession::Close()
{
    ResetProject(m_record);
    m_record.projectPath = "NONAME";
    m_words.clear();
    m_open = false;
    m_created = false;
}

void ProjectSession::Restore(const std::string &path, bool open)
{
    m_record.projectPath = path;
    m_open = open;
}

void ProjectSession::Reload(MessageBoxes &messages)
{
    if (m_open && !LoadProject(m_record, messages))
        m_open = false;
    ApplyOptions(BuildOptionsFromProject(m_record));
}

bool ProjectSession::Open(const std::string &path, MessageBoxes &messages)
{
    m_record.projectPath = path;
    if (!LoadProject(m_record, messages))
        return false;
    m_open = true;
    ApplyOptions(BuildOptionsFromProject(m_record));
    return true;
}

void ProjectSession::StartNew(const std::string &path)
{
    m_record.projectPath = path;
    ResetProject(m_record);
    m_words.clear();
}

void ProjectSession::ApplySettings(const ProjectRecord &values, const CompilerOptions &options)
{
    const std::string path = m_record.projectPath;
    const int32_t reserved = m_record.reserved;
    m_record = values;
    m_record.projectPath = path;
    m_record.reserved = reserved;
    ApplyOptions(options);
}

bool ProjectSession::Save(MessageBoxes &messages) const
{
    return SaveProject(m_record, messages);
}

void ProjectSession::ApplyOptions(const CompilerOptions &options)
{
    ostrel::ApplyOptions(m_record, options);
    m_words = options.words;
}

} // namespace ostrel
