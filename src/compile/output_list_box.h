#pragma once

#include <QListView>

#include <string>
#include <vector>

namespace ostrel {

class MessageListModel;

// The output window's list of compiler messages, in the order of the file. A double-click
// with the left button on an entry, or Enter on the selected one, asks to go to its place.
class COutputListBox : public QListView
{
    Q_OBJECT

public:
    static constexpr int kChildId = 1017;

    explicit COutputListBox(QWidget *parent = nullptr);

    void SetEntries(std::vector<std::string> entries);
    const std::vector<std::string> &Entries() const;
    int count() const;
    int currentRow() const;
    void setCurrentRow(int row);
    // Where the entry stands, in the coordinates of the viewport.
    QRect EntryRect(int row) const;

signals:
    void entryChosen(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    MessageListModel *m_model;
};

} // namespace ostrel
