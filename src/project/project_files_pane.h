#pragma once

#include "project/project_record.h"

#include <QDockWidget>

#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

namespace ostrel {

// "Project Files": every file of the open project in one list beside the documents; a
// double-click or Return on an entry opens that file.
class CProjectFilesPane : public QDockWidget
{
    Q_OBJECT

public:
    using OpenFile = std::function<void(const std::string &path)>;

    CProjectFilesPane(OpenFile openFile, QWidget *parent);

    // Lists the project's files, or says that no project is open. A list that has not changed
    // is left as it is, with its selection.
    void ShowProject(const ProjectRecord &project, bool open);
    // Shows the pane with the focus on its list.
    void Present();

    QListWidget *List() const { return m_list; }

private:
    void OnActivated(QListWidgetItem *item);

    OpenFile m_openFile;
    QListWidget *m_list = nullptr;
    std::vector<std::string> m_shown;
    bool m_shownOpen = false;
    bool m_filled = false;
};

} // namespace ostrel
