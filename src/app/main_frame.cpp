#include "app/main_frame.h"

#include "app/app_icon.h"
#include "app/command_actions.h"
#include "app/frame_caption.h"
#include "app/help_window.h"
#include "app/main_toolbar.h"
#include "app/menu_lists.h"
#include "app/status_panes.h"
#include "menus/icon_menu_adapter.h"
#include "platform/qt_services.h"
#include "res/resources.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QWhatsThis>

namespace ostrel {

const CommandMap<CMainFrame> &CMainFrame::Commands()
{
    using M = CommandMap<CMainFrame>;
    static const M map {
        M::On(CommandId::ViewToolbar, &CMainFrame::OnViewToolbar),
        M::OnState(CommandId::ViewToolbar, &CMainFrame::OnUpdateViewToolbar),
        M::On(CommandId::ViewStatusBar, &CMainFrame::OnViewStatusBar),
        M::OnState(CommandId::ViewStatusBar, &CMainFrame::OnUpdateViewStatusBar),
        M::On(CommandId::WindowNew, &CMainFrame::OnWindowNew),
        M::On(CommandId::WindowCascade, &CMainFrame::OnWindowCascade),
        M::On(CommandId::WindowTile, &CMainFrame::OnWindowTile),
        M::On(CommandId::WindowArrange, &CMainFrame::OnWindowArrange),
        M::On(CommandId::HelpTopics, &CMainFrame::OnHelpTopics),
        M::On(CommandId::Help, &CMainFrame::OnHelp),
        M::On(CommandId::ContextHelp, &CMainFrame::OnContextHelp),
        M::On(CommandId::DefaultHelp, &CMainFrame::OnHelpTopics),
    };
    return map;
}

CMainFrame::CMainFrame(
    CommandTarget &application, KeyboardLocks &locks, const SystemLook &look, QWidget *parent)
    : QMainWindow(parent)
    , m_application(application)
    , m_area(new QMdiArea(this))
{
    setWindowIcon(AppIcon());
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    m_router.SetRoute({ nullptr, nullptr, this, &m_application });

    m_actions = new CommandActions(this, [this](uint16_t id) {
        RouteCommand(id);
    });
    m_toolBar = new CMainToolbar(*m_actions, this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_status = new StatusPanes(statusBar(), locks);
    m_caption = new FrameCaption(
        this, m_area, ToQt(std::string(GetResourceString(StringId::AppTitle).value_or(""))));
    CreateMenus(look);

    connect(m_area, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCommandUI);
    // Toolbar buttons and lock indicators follow the state as the program idles.
    auto *idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    idle->start(250);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateMenus(const SystemLook &look)
{
    IconMenuAdapter::Hooks hooks;
    hooks.commandAction = [this](uint16_t id) {
        return m_actions->Action(id);
    };
    hooks.run = [this](uint32_t id) {
        if (IsWindowListId(id))
            ActivateWindow(id);
        else if (id <= 0xFFFF)
            RouteCommand(static_cast<uint16_t>(id));
    };
    hooks.beforeShow = [this] {
        UpdateWindowList();
        UpdateCommandUI();
    };
    hooks.state = [this](uint16_t id) {
        return m_router.QueryState(id);
    };
    hooks.prompt = [](uint32_t id) {
        return id <= 0xFFFF ? ToQt(PromptOf(static_cast<uint16_t>(id)).status) : QString();
    };
    m_iconMenus = new IconMenuAdapter(look, ProgramMenuResources(), menuBar(),
        { kMainResourceId, kDocumentMenuId, kMainResourceId }, std::move(hooks), this);
    SetRecentFiles({});
}

QToolBar *CMainFrame::ToolBar() const
{
    return m_toolBar;
}

QComboBox *CMainFrame::ProjectBox() const
{
    return m_toolBar->ProjectBox();
}

QLabel *CMainFrame::LinePane() const
{
    return m_status->LinePane();
}

QLabel *CMainFrame::LockPane(int index) const
{
    return m_status->LockPane(index);
}

PlatformMenus &CMainFrame::Menus()
{
    return m_iconMenus->Menus();
}

MenuHandle CMainFrame::DefaultMenu() const
{
    return m_iconMenus->DefaultMenu();
}

MenuHandle CMainFrame::DocumentMenu() const
{
    return m_iconMenus->DocumentMenu();
}

MenuHandle CMainFrame::ShownMenu() const
{
    return m_iconMenus->Shown();
}

void CMainFrame::SetDocumentOpen(bool open)
{
    m_iconMenus->Show(open ? DocumentMenu() : DefaultMenu());
    UpdateCommandUI();
}

void CMainFrame::SetRecentFiles(const std::vector<std::string> &menuTexts)
{
    for (MenuHandle bar : { DefaultMenu(), DocumentMenu() })
        SetRecentFileEntries(Menus(), bar, menuTexts);
}

void CMainFrame::UpdateWindowList()
{
    const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
    std::vector<std::string> titles;
    for (const QMdiSubWindow *window : windows)
        titles.push_back(FromQt(window->windowTitle()));
    SetWindowListEntries(Menus(), DocumentMenu(), titles,
        static_cast<int>(windows.indexOf(m_area->activeSubWindow())));
}

void CMainFrame::ActivateWindow(uint32_t id)
{
    const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
    const qsizetype index = static_cast<qsizetype>(id - kFirstWindowId);
    if (index < windows.size())
        m_area->setActiveSubWindow(windows[index]);
}

bool CMainFrame::RouteCommand(uint16_t id)
{
    const bool ran = m_router.Route(id);
    UpdateCommandUI();
    return ran;
}

void CMainFrame::ShowPopupMenu(uint16_t menuId, const QPoint &globalPosition)
{
    m_iconMenus->ShowPopup(menuId, this, globalPosition);
}

void CMainFrame::SetLineText(const QString &text)
{
    m_status->SetLineText(text);
}

void CMainFrame::SetProjectText(const QString &text)
{
    m_toolBar->SetProjectText(text);
}

void CMainFrame::SetActiveTargets(CommandTarget *view, CommandTarget *document)
{
    m_view = view;
    m_document = document;
    m_router.SetRoute({ m_view, m_document, this, &m_application });
}

void CMainFrame::UpdateCommandUI()
{
    for (const auto &[id, action] : m_actions->All()) {
        const CommandState state = m_router.QueryState(id);
        action->setEnabled(state.enabled);
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
    }
    m_status->UpdateLocks();
}

void CMainFrame::OnViewToolbar()
{
    m_toolBar->setVisible(m_toolBar->isHidden());
}

void CMainFrame::OnUpdateViewToolbar(CommandState &state)
{
    state.checked = !m_toolBar->isHidden();
}

void CMainFrame::OnViewStatusBar()
{
    statusBar()->setVisible(statusBar()->isHidden());
}

void CMainFrame::OnUpdateViewStatusBar(CommandState &state)
{
    state.checked = !statusBar()->isHidden();
}

void CMainFrame::OnWindowNew()
{
    if (m_newWindow)
        m_newWindow();
}

void CMainFrame::OnWindowCascade()
{
    m_area->cascadeSubWindows();
}

void CMainFrame::OnWindowTile()
{
    m_area->tileSubWindows();
}

void CMainFrame::OnWindowArrange()
{
    // Minimised windows line up along the bottom edge.
    const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
    int x = 0;
    for (QMdiSubWindow *window : windows) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->minimumSizeHint();
        window->move(x, m_area->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::ShowHelp(const std::string &page)
{
    if (!m_help)
        m_help = new CHelpWindow(this);
    m_help->ShowTopic(ToQt(page));
    m_help->show();
    m_help->raise();
}

void CMainFrame::OnHelpTopics()
{
    ShowHelp("index.html");
}

void CMainFrame::OnHelp()
{
    ShowHelp("index.html");
}

void CMainFrame::OnContextHelp()
{
    QWhatsThis::enterWhatsThisMode();
    m_status->ShowMessage(
        ToQt(std::string(GetResourceString(StringId::HelpModeMessage).value_or(""))));
}

bool CMainFrame::event(QEvent *event)
{
    if (event->type() == QEvent::LeaveWhatsThisMode)
        m_status->ShowIdleMessage();
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    if (m_help)
        m_help->close();
    QMainWindow::closeEvent(event);
}

} // namespace ostrel
