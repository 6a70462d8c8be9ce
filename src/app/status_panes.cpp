#include "app/status_panes.h"

#include "platform/keyboard_locks.h"
#include "platform/qt_services.h"
#include "res/resources.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace ostrel {

namespace {

constexpr StringId kLockTexts[] = { StringId::IndicatorCaps, StringId::IndicatorNum,
    StringId::IndicatorScroll };

QString ResourceText(StringId id)
{
    return ToQt(std::string(GetResourceString(id).value_or("")));
}

QLabel *SunkenPane(QStatusBar *bar)
{
    auto *pane = new QLabel(bar);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    return pane;
}

} // namespace

StatusPanes::StatusPanes(QStatusBar *bar, KeyboardLocks &locks)
    : QObject(bar)
    , m_locks(locks)
{
    bar->setObjectName(QStringLiteral("statusbar"));
    m_idlePane = new QLabel(ResourceText(StringId::IdleMessage), bar);
    m_idlePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_idlePane, 1);
    m_linePane = SunkenPane(bar);
    m_linePane->setObjectName(QStringLiteral("linePane"));
    m_linePane->setMinimumWidth(75);
    bar->addPermanentWidget(m_linePane);
    for (int i = 0; i < 3; ++i) {
        // The pane keeps its place while its lock is off; only the text goes.
        const QString text = ResourceText(kLockTexts[i]);
        m_lockPanes[i] = SunkenPane(bar);
        m_lockPanes[i]->setObjectName(text);
        m_lockPanes[i]->setAlignment(Qt::AlignCenter);
        m_lockPanes[i]->setMinimumWidth(m_lockPanes[i]->fontMetrics().horizontalAdvance(text)
            + 2 * m_lockPanes[i]->frameWidth() + 8);
        bar->addPermanentWidget(m_lockPanes[i]);
    }
    qApp->installEventFilter(this);
}

void StatusPanes::SetLineText(const QString &text)
{
    if (m_linePane->text() == text)
        return;
    m_linePane->setText(text);
    const int needed = m_linePane->fontMetrics().horizontalAdvance(text)
        + 2 * m_linePane->frameWidth() + 2 * m_linePane->margin() + 8;
    if (needed > m_linePane->minimumWidth())
        m_linePane->setMinimumWidth(needed);
}

void StatusPanes::ShowMessage(const QString &message)
{
    m_idlePane->setText(message);
}

void StatusPanes::ShowIdleMessage()
{
    ShowMessage(ResourceText(StringId::IdleMessage));
}

void StatusPanes::UpdateLocks()
{
    if (!m_locksStale)
        return;
    m_locksStale = false;
    const LockState locks = m_locks.State();
    const bool on[] = { locks.capsLock, locks.numLock, locks.scrollLock };
    for (int i = 0; i < 3; ++i) {
        const QString text = on[i] ? ResourceText(kLockTexts[i]) : QString();
        if (m_lockPanes[i]->text() != text)
            m_lockPanes[i]->setText(text);
    }
}

bool StatusPanes::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ApplicationStateChange:
    case QEvent::WindowActivate:
        m_locksStale = true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ostrel
