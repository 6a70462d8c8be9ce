#include "app/main_frame.h"

#include "app/app_icon.h"
#include "app/command_actions.h"
#include "app/help_window.h"
#include "menus/icon_menu_style.h"
#include "menus/menu_text.h"
#include "menus/qt_menu_mirror.h"
#include "platform/keyboard_locks.h"
#include "platform/qt_services.h"
#include "platform/qt_system_look.h"
#include "res/resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
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

CMainFrame::CMainFrame(
    CommandTarget &application, KeyboardLocks &locks, const SystemLook &look, QWidget *parent)
    : QMainWindow(parent)
    , m_application(application)
    , m_locks(locks)
    , m_area(new QMdiArea(this))
    , m_menuContext(m_menus, look, ProgramMenuResources(),
          [] {
              return std::make_unique<QtDrawingSurface>(nullptr, MenuFont());
          })
    , m_docMenu(m_menuContext)
    , m_defaultMenu(m_menuContext)
    , m_appTitle(ResourceText(StringId::AppTitle))
{
    setWindowTitle(m_appTitle);
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

    connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        disconnect(m_activeTitleConnection);
        if (window)
            m_activeTitleConnection =
                connect(window, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateCaption);
        UpdateCaption();
        UpdateCommandUI();
    });
    // The lock keys are read again only after a key or an activation, not on every tick.
    qApp->installEventFilter(this);
    // Toolbar buttons and lock indicators follow the state as the program idles.
    auto *idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    idle->start(250);
}

CMainFrame::~CMainFrame()
{
    m_docMenu.DestroyMenu();
    m_defaultMenu.DestroyMenu();
}

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
    m_linePane->setMinimumWidth(75);
    m_linePane->setFrameShape(QFrame::Panel);
    m_linePane->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(m_linePane);
    const StringId locks[] = { StringId::IndicatorCaps, StringId::IndicatorNum,
        StringId::IndicatorScroll };
    for (int i = 0; i < 3; ++i) {
        // The pane keeps its place while its lock is off; only the text goes.
        m_lockPanes[i] = new QLabel(bar);
        m_lockPanes[i]->setObjectName(ResourceText(locks[i]));
        m_lockPanes[i]->setFrameShape(QFrame::Panel);
        m_lockPanes[i]->setFrameShadow(QFrame::Sunken);
        m_lockPanes[i]->setAlignment(Qt::AlignCenter);
        m_lockPanes[i]->setMinimumWidth(
            m_lockPanes[i]->fontMetrics().horizontalAdvance(ResourceText(locks[i]))
            + 2 * m_lockPanes[i]->frameWidth() + 8);
        bar->addPermanentWidget(m_lockPanes[i]);
    }
}

void CMainFrame::CreateMenus()
{
    InstallIconMenuStyle();
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
    hooks.beforeShow = [this](MenuHandle menu) {
        OnInitMenuPopup(menu, 0, false);
    };
    hooks.entryText = [this](MenuHandle list, int position) {
        std::string text;
        if (const auto *menu =
                dynamic_cast<const CIconMenu *>(CMenu::FromHandlePermanent(m_menuContext, list)))
            menu->GetItemText(position, text);
        return ToQt(UnpaddedMenuText(text));
    };
    hooks.ownerDraw.measure = [this](MenuHandle list, int position) {
        const auto entry =
            m_menus.GetMenuItemInfo(list, static_cast<uint32_t>(position), MenuFlag::ByPosition);
        MeasureItemRequest request;
        request.itemId = entry ? entry->id : 0;
        request.itemData = entry ? entry->itemData : 0;
        OnMeasureItem(request, list);
        return QSize(request.itemWidth, request.itemHeight);
    };
    hooks.ownerDraw.draw = [this](MenuHandle list, int position, QPainter &painter,
                               const QRect &rect, bool selected) {
        const auto entry =
            m_menus.GetMenuItemInfo(list, static_cast<uint32_t>(position), MenuFlag::ByPosition);
        if (!entry)
            return;
        QtDrawingSurface surface(&painter, MenuFont());
        DrawItemRequest request;
        request.itemId = entry->id;
        request.itemState = (selected ? DrawState::Selected : 0)
            | (entry->IsGrayed() ? DrawState::Grayed : 0)
            | (entry->IsChecked() ? DrawState::Checked : 0);
        request.menu = list;
        request.surface = &surface;
        request.rect = { rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1 };
        request.itemData = entry->itemData;
        OnDrawItem(request);
    };
    hooks.ownerDraw.menuChar = [this](MenuHandle list, uint32_t character) {
        return OnMenuChar(character, MenuFlag::Popup, list);
    };
    hooks.prompt = [](uint32_t id) {
        return id <= 0xFFFF ? ToQt(PromptOf(static_cast<uint16_t>(id)).status) : QString();
    };
    m_mirror = new QtMenuMirror(m_menus, menuBar(), hooks, this);
    BuildDocumentMenu();
    BuildDefaultMenu();
    SetRecentFiles({});
}

void CMainFrame::BuildDocumentMenu()
{
    m_docMenu.LoadMenu(kDocumentMenuId);
    const int toolbars[] = { kMainResourceId };
    m_docMenu.LoadToolbars(toolbars, 1);
    m_documentMenuHandle = m_docMenu.Detach();
}

void CMainFrame::BuildDefaultMenu()
{
    m_defaultMenu.LoadMenu(kMainResourceId);
    m_defaultMenu.LoadToolbar(kMainResourceId);
    m_defaultMenuHandle = m_defaultMenu.Detach();
    m_mirror->Show(m_defaultMenuHandle);
}

CIconMenu *CMainFrame::OwnedIconMenu(MenuHandle list) const
{
    CMenu *menu = CMenu::FromHandlePermanent(m_menuContext, list);
    if (!menu || !(m_docMenu.OwnsPopup(menu) || m_defaultMenu.OwnsPopup(menu)))
        return nullptr;
    return dynamic_cast<CIconMenu *>(menu);
}

void CMainFrame::OnMeasureItem(MeasureItemRequest &request, MenuHandle list)
{
    if (request.controlType == kOwnerDrawMenu && m_menus.IsMenu(request.itemId)
        && OwnedIconMenu(request.itemId)) {
        m_docMenu.MeasureItem(request);
        return;
    }
    // Otherwise the menu object of the list that holds the entry measures it.
    if (CMenu *holder = CMenu::FromHandlePermanent(m_menuContext, list))
        holder->MeasureItem(request);
}

void CMainFrame::OnDrawItem(const DrawItemRequest &request)
{
    if (CMenu *holder = CMenu::FromHandlePermanent(m_menuContext, request.menu))
        holder->DrawItem(request);
}

uint32_t CMainFrame::OnMenuChar(uint32_t character, uint32_t menuFlags, MenuHandle menu)
{
    if (CIconMenu *owned = OwnedIconMenu(menu))
        return CIconMenu::FindMnemonic(character, menuFlags, owned);
    return kMenuCharIgnore;
}

void CMainFrame::OnInitMenuPopup(MenuHandle menu, int, bool systemMenu)
{
    UpdateWindowList();
    UpdateCommandUI();
    WriteMenuStates(menu);
    if (systemMenu)
        return;
    if (CIconMenu *owned = OwnedIconMenu(menu))
        owned->SyncItems();
}

void CMainFrame::WriteMenuStates(MenuHandle list)
{
    // Commands take their state from the route; the recent files and the window list keep
    // theirs.
    for (int i = 0; i < m_menus.GetMenuItemCount(list); ++i) {
        const uint32_t id = m_menus.GetMenuItemID(list, i);
        if (id == 0 || id > 0xFFFF || !m_actions->Action(static_cast<uint16_t>(id)))
            continue;
        const CommandState state = m_router.QueryState(static_cast<uint16_t>(id));
        const auto position = static_cast<uint32_t>(i);
        m_menus.EnableMenuItem(
            list, position, MenuFlag::ByPosition | (state.enabled ? 0 : MenuFlag::Grayed));
        m_menus.CheckMenuItem(
            list, position, MenuFlag::ByPosition | (state.checked ? MenuFlag::Checked : 0));
    }
}

MenuHandle CMainFrame::ShownMenu() const
{
    return m_mirror->Shown();
}

void CMainFrame::SetDocumentOpen(bool open)
{
    const MenuHandle wanted = open ? m_documentMenuHandle : m_defaultMenuHandle;
    if (m_mirror->Shown() != wanted)
        m_mirror->Show(wanted);
    UpdateCommandUI();
}

void CMainFrame::SetRecentFiles(const std::vector<std::string> &menuTexts)
{
    const uint32_t first = ToUint(CommandId::RecentFileFirst);
    const uint32_t last = ToUint(CommandId::RecentFileLast);
    for (MenuHandle bar : { m_defaultMenuHandle, m_documentMenuHandle }) {
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
    const MenuHandle bar = m_documentMenuHandle;
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

void CMainFrame::ShowPopupMenu(uint16_t menuId, const QPoint &globalPosition)
{
    const auto bytes = LoadMenuResource(menuId);
    const MenuHandle loaded = bytes ? LoadMenuTemplate(m_menus, *bytes) : 0;
    if (!loaded)
        return;
    const MenuHandle popup = m_menus.GetSubMenu(loaded, 0);
    UpdateCommandUI();
    // The entries show the states of their commands.
    for (int i = 0; i < m_menus.GetMenuItemCount(popup); ++i) {
        const uint32_t id = m_menus.GetMenuItemID(popup, i);
        if (id == 0 || id > 0xFFFF)
            continue;
        const CommandState state = m_router.QueryState(static_cast<uint16_t>(id));
        m_menus.EnableMenuItem(popup, static_cast<uint32_t>(i),
            MenuFlag::ByPosition | (state.enabled ? MenuFlag::Enabled : MenuFlag::Grayed));
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("popupMenu"));
    m_mirror->Fill(&menu, popup);
    menu.exec(globalPosition);
    m_menus.DestroyMenu(loaded);
}

void CMainFrame::SetLineText(const QString &text)
{
    if (m_linePane->text() == text)
        return;
    m_linePane->setText(text);
    const int needed = m_linePane->fontMetrics().horizontalAdvance(text)
        + 2 * m_linePane->frameWidth() + 2 * m_linePane->margin() + 8;
    if (needed > m_linePane->minimumWidth())
        m_linePane->setMinimumWidth(needed);
}

void CMainFrame::SetProjectText(const QString &text)
{
    if (m_projectBox->count() == 1 && m_projectBox->itemText(0) == text)
        return;
    m_projectBox->clear();
    m_projectBox->addItem(text);
    m_projectBox->setCurrentIndex(0);
}

QString CMainFrame::Caption() const
{
    const QMdiSubWindow *active = m_area->activeSubWindow();
    if (!active || active->windowTitle().isEmpty())
        return m_appTitle;
    return m_appTitle + QStringLiteral(" - ") + active->windowTitle();
}

void CMainFrame::UpdateCaption()
{
    m_settingCaption = true;
    setWindowTitle(Caption());
    m_settingCaption = false;
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
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes()
{
    if (!m_locksStale)
        return;
    m_locksStale = false;
    const LockState locks = m_locks.State();
    const bool on[] = { locks.capsLock, locks.numLock, locks.scrollLock };
    const StringId texts[] = { StringId::IndicatorCaps, StringId::IndicatorNum,
        StringId::IndicatorScroll };
    for (int i = 0; i < 3; ++i) {
        const QString text = on[i] ? ResourceText(texts[i]) : QString();
        if (m_lockPanes[i]->text() != text)
            m_lockPanes[i]->setText(text);
    }
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
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
    return QMainWindow::eventFilter(watched, event);
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
    // A maximised source window writes its own form of the caption; the caption stays ours.
    if (event->type() == QEvent::WindowTitleChange && !m_settingCaption
        && windowTitle() != Caption())
        UpdateCaption();
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
