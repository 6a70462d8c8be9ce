#pragma once

#include <QMainWindow>

#include <functional>

class QMdiArea;

namespace ostrel {

// The program's main window: the MDI area that holds the source windows.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget *parent = nullptr);

    QMdiArea *MdiArea() const { return m_area; }
    // Asked before the window closes; false keeps it open (a save was cancelled).
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QMdiArea *m_area;
    std::function<bool()> m_closeGuard;
};

} // namespace ostrel
