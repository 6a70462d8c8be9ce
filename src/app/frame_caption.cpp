#include "app/frame_caption.h"

#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace ostrel {

FrameCaption::FrameCaption(QMainWindow *frame, QMdiArea *area, QString appTitle)
    : QObject(frame)
    , m_frame(frame)
    , m_area(area)
    , m_appTitle(std::move(appTitle))
{
    connect(m_area, &QMdiArea::subWindowActivated, this, &FrameCaption::Follow);
    m_frame->installEventFilter(this);
    Update();
}

QString FrameCaption::Text() const
{
    const QMdiSubWindow *active = m_area->activeSubWindow();
    if (!active || active->windowTitle().isEmpty())
        return m_appTitle;
    return m_appTitle + QStringLiteral(" - ") + active->windowTitle();
}

void FrameCaption::Follow(QMdiSubWindow *window)
{
    disconnect(m_activeTitle);
    if (window)
        m_activeTitle = connect(window, &QWidget::windowTitleChanged, this, &FrameCaption::Update);
    Update();
}

void FrameCaption::Update()
{
    m_setting = true;
    m_frame->setWindowTitle(Text());
    m_setting = false;
}

bool FrameCaption::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::WindowTitleChange && !m_setting
        && m_frame->windowTitle() != Text())
        Update();
    return QObject::eventFilter(watched, event);
}

} // namespace ostrel
