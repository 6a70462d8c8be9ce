#pragma once

#include "compile/build_result.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

namespace ostrel {

class COutputListBox;

// "Compiler Output Window": a window of its own, owned by the main window, whose one list
// fills it and shows the compiler's messages. Closing it only hides it.
class COutputWindow : public QDialog
{
    Q_OBJECT

public:
    explicit COutputWindow(QWidget *owner);

    COutputListBox *List() const { return m_list; }

    // The result whose entries the list shows.
    void SetResult(std::shared_ptr<const BuildResult> result);
    const BuildResult &Result() const;
    const std::vector<std::string> &Entries() const { return Result().Entries(); }
    // The rows whose messages name a place in a source file, in order.
    const std::vector<int> &NavigableEntries() const { return Result().NavigableRows(); }
    // Selects the entry, shows it and goes to the place its message names.
    void GoToEntry(int row);

signals:
    // An entry was chosen (double-click, Enter or GoToEntry).
    void navigateRequested(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    COutputListBox *m_list;
};

} // namespace ostrel
