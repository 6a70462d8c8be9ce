#pragma once

#include <QObject>

class QLabel;
class QStatusBar;

namespace ostrel {

class KeyboardLocks;

// The panes of the main window's status bar: the message pane, the caret-line pane and the
// indicators of the three lock keys. The lock keys are read again only after a key or an
// activation may have changed them, not on every update.
class StatusPanes : public QObject
{
public:
    StatusPanes(QStatusBar *bar, KeyboardLocks &locks);

    QLabel *LinePane() const { return m_linePane; }
    QLabel *LockPane(int index) const { return m_lockPanes[index]; }
    // The caret-line pane's text; the pane grows to show it whole.
    void SetLineText(const QString &text);
    void ShowMessage(const QString &message);
    // "For Help, press F1".
    void ShowIdleMessage();
    void UpdateLocks();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyboardLocks &m_locks;
    QLabel *m_idlePane = nullptr;
    QLabel *m_linePane = nullptr;
    QLabel *m_lockPanes[3] = {};
    bool m_locksStale = true;
};

} // namespace ostrel
