#pragma once

#include <QObject>
#include <QString>

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;

namespace ostrel {

// The main window's caption: "Ostrel - MAIN.C*" while a source window is active, "Ostrel"
// without one. It follows the active window's title, and takes the caption back when a
// maximised source window writes its own form of it.
class FrameCaption : public QObject
{
public:
    FrameCaption(QMainWindow *frame, QMdiArea *area, QString appTitle);

    QString Text() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Follow(QMdiSubWindow *window);
    void Update();

    QMainWindow *m_frame;
    QMdiArea *m_area;
    QString m_appTitle;
    QMetaObject::Connection m_activeTitle;
    bool m_setting = false;
};

} // namespace ostrel
