#pragma once

#include <QListWidget>

namespace ostrel {

// The output window's list of compiler messages, in the order of the file. A double-click
// with the left button on an entry, or Enter on the selected one, asks to go to its place.
class COutputListBox : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kChildId = 1017;

    explicit COutputListBox(QWidget *parent = nullptr);

signals:
    void entryChosen(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace ostrel
