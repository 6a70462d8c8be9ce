#include "app/main_frame.h"

#include "app/app_icon.h"
#include "app/command_actions.h"
#include "app/help_window.h"
#include "app/menus/menu_template.h"
#include "platform/keyboard_locks.h"
#include "platform/qt_menu_mirror.h"
#include "platform/qt_services.h"
#include "res/resources.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

namespace ostrel {

namespace {

// Entries of the window list in the Window menu.
constexpr uint32_t kFirstWindowId = 0xFF00;
constexpr uint32_t kMaxWindows = 9;

QString ResourceText(StringId id)
{
    return ToQt(std::string(GetResourceString(id).value_or("")));
}

} // namespace

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

CMainFrame::CMainFrame(CommandTarget &application, KeyboardLocks &locks, QWidget *parent)
    : QMainWindow(parent)
    , m_application(application)
    , m_locks(locks)
    , m_area(new QMdiArea(this))
{
    setWindowTitle(ResourceText(StringId::AppTitle));
    setWindowIcon(AppIcon());
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    m_router.SetRoute({ nullptr, nullptr, this, &m_application });

    m_actions = new CommandActions(this, [this](uint16_t id) {
        RouteCommand(id);
    });
    CreateToolBar();
    CreateStatusBar();
    CreateMenus();

    connect(m_area, &QMdiArea::subWindowActivated, this, [this] {
        UpdateCommandUI();
    });
    // Toolbar buttons and lock indicators follow the state as the program idles.
    auto *idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    idle->start(250);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(18, 16));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);

    const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId);
    const std::vector<uint16_t> buttons = toolbar ? toolbar->buttons : std::vector<uint16_t> {};
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (i == 0 && buttons[i] == 0) {
            // The first place holds the project box: one entry, choosing it does nothing.
            m_projectBox = new QComboBox(m_toolBar);
            m_projectBox->setObjectName(QStringLiteral("projectBox"));
            m_projectBox->setAccessibleName(QStringLiteral("Project"));
            m_projectBox->setProperty("controlId", ToUint(CommandId::InterruptMasks));
            m_projectBox->setFixedWidth(100);
            // A small sans-serif face (10 pixels high, normal weight) so that the project name
            // fits the narrow box.
            QFont font(QStringLiteral("MS Sans Serif"));
            font.setStyleHint(QFont::SansSerif);
            font.setPixelSize(10);
            font.setWeight(QFont::Normal);
            m_projectBox->setFont(font);
            m_projectBox->setEditable(false);
            m_projectBox->setMaxVisibleItems(5);
            m_toolBar->addWidget(m_projectBox);
        } else if (i == 1 && buttons[i] == 0) {
            auto *gap = new QWidget(m_toolBar);
            gap->setFixedWidth(12);
            m_toolBar->addWidget(gap);
        } else if (buttons[i] == 0) {
            m_toolBar->addSeparator();
        } else if (QAction *action = m_actions->Action(buttons[i])) {
            m_toolBar->addAction(action);
        }
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("statusbar"));
    m_idlePane = new QLabel(ResourceText(StringId::IdleMessage), bar);
    m_idlePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_idlePane, 1);
    m_linePane = new QLabel(bar);
    m_linePane->setObjectName(QStringLiteral("linePane"));
    m_linePane->setFixedWidth(75);
    m_linePane->setFrameShape(QFrame::Panel);
    m_linePane->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(m_linePane);
    const StringId locks[] = { StringId::IndicatorCaps, StringId::IndicatorNum,
        StringId::IndicatorScroll };
    for (int i = 0; i < 3; ++i) {
        m_lockPanes[i] = new QLabel(ResourceText(locks[i]), bar);
        m_lockPanes[i]->setObjectName(ResourceText(locks[i]));
        m_lockPanes[i]->setFrameShape(QFrame::Panel);
        m_lockPanes[i]->setFrameShadow(QFrame::Sunken);
        m_lockPanes[i]->setVisible(false);
        bar->addPermanentWidget(m_lockPanes[i]);
    }
}

void CMainFrame::CreateMenus()
{
    for (uint16_t id : { kMainResourceId, kDocumentMenuId }) {
        const auto bytes = LoadMenuResource(id);
        const MenuHandle menu = bytes ? LoadMenuTemplate(m_menus, *bytes) : 0;
        (id == kMainResourceId ? m_defaultMenu : m_documentMenu) = menu;
    }
    QtMenuMirror::Hooks hooks;
    hooks.commandAction = [this](uint32_t id) {
        return id <= 0xFFFF ? m_actions->Action(static_cast<uint16_t>(id)) : nullptr;
    };
    hooks.run = [this](uint32_t id) {
        if (id >= kFirstWindowId && id < kFirstWindowId + kMaxWindows)
            ActivateWindow(id);
        else if (id <= 0xFFFF)
            RouteCommand(static_cast<uint16_t>(id));
    };
    hooks.beforeShow = [this](MenuHandle) {
        UpdateWindowList();
        UpdateCommandUI();
    };
    m_mirror = new QtMenuMirror(m_menus, menuBar(), hooks, this);
    m_mirror->Show(m_defaultMenu);
    SetRecentFiles({});
}

MenuHandle CMainFrame::ShownMenu() const
{
    return m_mirror->Shown();
}

void CMainFrame::SetDocumentOpen(bool open)
{
    const MenuHandle wanted = open ? m_documentMenu : m_defaultMenu;
    if (m_mirror->Shown() != wanted)
        m_mirror->Show(wanted);
    UpdateCommandUI();
}

void CMainFrame::SetRecentFiles(const std::vector<std::string> &menuTexts)
{
    const uint32_t first = ToUint(CommandId::RecentFileFirst);
    const uint32_t last = ToUint(CommandId::RecentFileLast);
    for (MenuHandle bar : { m_defaultMenu, m_documentMenu }) {
        const MenuHandle file = m_menus.GetSubMenu(bar, 0);
        // Take out the old entries (or the placeholder), remembering where they stood.
        int position = -1;
        for (int i = m_menus.GetMenuItemCount(file) - 1; i >= 0; --i) {
            const uint32_t id = m_menus.GetMenuItemID(file, i);
            if (id >= first && id <= last) {
                m_menus.DeleteMenu(file, static_cast<uint32_t>(i), MenuFlag::ByPosition);
                position = i;
            }
        }
        if (position < 0)
            continue;
        if (menuTexts.empty()) {
            m_menus.InsertMenu(file, static_cast<uint32_t>(position),
                MenuFlag::ByPosition | MenuFlag::Grayed, first, "Recent File");
        }
        for (size_t i = 0; i < menuTexts.size() && first + i <= last; ++i)
            m_menus.InsertMenu(file, static_cast<uint32_t>(position + static_cast<int>(i)),
                MenuFlag::ByPosition, first + static_cast<uint32_t>(i), menuTexts[i]);
    }
}

void CMainFrame::UpdateWindowList()
{
    const MenuHandle bar = m_documentMenu;
    MenuHandle window = 0;
    for (int i = 0; i < m_menus.GetMenuItemCount(bar); ++i)
        if (m_menus.GetMenuString(bar, static_cast<uint32_t>(i), MenuFlag::ByPosition) == "&Window")
            window = m_menus.GetSubMenu(bar, i);
    if (!window)
        return;
    // Drop the old list and the separator before it.
    for (int i = m_menus.GetMenuItemCount(window) - 1; i >= 0; --i) {
        const uint32_t id = m_menus.GetMenuItemID(window, i);
        if (id >= kFirstWindowId && id < kFirstWindowId + kMaxWindows)
            m_menus.DeleteMenu(window, static_cast<uint32_t>(i), MenuFlag::ByPosition);
    }
    const int count = m_menus.GetMenuItemCount(window);
    if (count > 0
        && (m_menus.GetMenuState(window, static_cast<uint32_t>(count - 1), MenuFlag::ByPosition)
            & MenuFlag::Separator))
        m_menus.DeleteMenu(window, static_cast<uint32_t>(count - 1), MenuFlag::ByPosition);

    const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_menus.AppendMenu(window, MenuFlag::Separator, 0, "");
    for (qsizetype i = 0; i < windows.size() && i < static_cast<qsizetype>(kMaxWindows); ++i) {
        const bool active = windows[i] == m_area->activeSubWindow();
        const std::string text =
            "&" + std::to_string(i + 1) + " " + FromQt(windows[i]->windowTitle());
        m_menus.AppendMenu(window, active ? MenuFlag::Checked : 0U,
            kFirstWindowId + static_cast<uint32_t>(i), text);
    }
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
    const LockState locks = m_locks.State();
    m_lockPanes[0]->setVisible(locks.capsLock);
    m_lockPanes[1]->setVisible(locks.numLock);
    m_lockPanes[2]->setVisible(locks.scrollLock);
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
    ShowIdleMessage(ResourceText(StringId::HelpModeMessage));
}

void CMainFrame::ShowIdleMessage(const QString &message)
{
    m_idlePane->setText(message);
}

bool CMainFrame::event(QEvent *event)
{
    if (event->type() == QEvent::LeaveWhatsThisMode)
        ShowIdleMessage(ResourceText(StringId::IdleMessage));
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
