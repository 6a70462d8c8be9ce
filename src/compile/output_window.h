#pragma once

#include <QDialog>

#include <string>
#include <vector>

namespace ostrel {

class COutputListBox;
class MessageBoxes;

// "Compiler Output Window": a window of its own, owned by the main window, whose one list
// fills it and shows the compiler's messages. Closing it only hides it.
class COutputWindow : public QDialog
{
    Q_OBJECT

public:
    COutputWindow(QWidget *owner, MessageBoxes &messages);

    // Nothing when the list could not be made.
    COutputListBox *List() const { return m_list; }

    void SetEntries(std::vector<std::string> entries);
    const std::vector<std::string> &Entries() const;
    // The rows whose messages name a place in a source file, in order.
    std::vector<int> NavigableEntries() const;
    // Selects the entry, shows it and goes to the place its message names.
    void GoToEntry(int row);

signals:
    // An entry was chosen (double-click, Enter or GoToEntry); `entry` is its text.
    void navigateRequested(const std::string &entry);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnEntryChosen(int row);

    COutputListBox *m_list = nullptr;
};

} // namespace ostrel
