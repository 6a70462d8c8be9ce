#include "app/main_frame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>

namespace ostrel {

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_area(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Ostrel"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    // A maximised source window merges its title and buttons into the menu bar.
    menuBar();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace ostrel
