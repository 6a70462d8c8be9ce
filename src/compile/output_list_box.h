#pragma once

#include "compile/build_result.h"

#include <QListView>

#include <memory>

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

    void SetResult(std::shared_ptr<const BuildResult> result);
    const BuildResult &Result() const;
    const std::vector<std::string> &Entries() const { return Result().Entries(); }
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
