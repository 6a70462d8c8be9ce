#include "project/project_files_pane.h"

#include "framework/path_parts.h"
#include "platform/qt_services.h"
#include "project/project_files.h"

#include <QListWidget>

namespace ostrel {

namespace {

constexpr int kPathRole = Qt::UserRole;

} // namespace

CProjectFilesPane::CProjectFilesPane(OpenFile openFile, QWidget *parent)
    : QDockWidget(QStringLiteral("Project Files"), parent)
    , m_openFile(std::move(openFile))
{
    setObjectName(QStringLiteral("projectFiles"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("projectFileList"));
    m_list->setAccessibleName(QStringLiteral("Project files"));
    setWidget(m_list);
    // Double-click and Return both activate an entry.
    connect(m_list, &QListWidget::itemActivated, this, &CProjectFilesPane::OnActivated);
}

void CProjectFilesPane::ShowProject(const ProjectRecord &project, bool open)
{
    std::vector<std::string> entries =
        open ? ProjectFileEntries(project) : std::vector<std::string> {};
    if (m_filled && open == m_shownOpen && entries == m_shown)
        return;
    m_filled = true;
    m_shownOpen = open;
    m_shown = std::move(entries);
    m_list->clear();
    if (!open) {
        auto *item = new QListWidgetItem(QStringLiteral("No project is open."), m_list);
        item->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const std::string &path : m_shown) {
        // The name first, so that the list reads well when narrow; the full path says which.
        auto *item = new QListWidgetItem(
            ToQt(FileNameOf(path)) + QStringLiteral("  (") + ToQt(DirectoryOf(path)) + ')', m_list);
        item->setData(kPathRole, ToQt(path));
        item->setToolTip(ToQt(path));
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void CProjectFilesPane::Present()
{
    show();
    raise();
    m_list->setFocus();
}

void CProjectFilesPane::OnActivated(QListWidgetItem *item)
{
    const QString path = item ? item->data(kPathRole).toString() : QString();
    if (!path.isEmpty())
        m_openFile(FromQt(path));
}

} // namespace ostrel
