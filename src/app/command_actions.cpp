#include "app/command_actions.h"

#include "editor/accelerator_keys.h"
#include "menus/platform_menus.h"
#include "platform/qt_services.h"
#include "res/resources.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QShortcut>
#include <QWidget>

// The resources of the static library are registered on first use.
static void InitResources()
{
    Q_INIT_RESOURCE(res);
}

namespace ostrel {

namespace {

// The text a command has in the menus (the same in every menu bar), or empty.
std::string MenuTextOf(uint16_t id, const MenuDefinition &menu)
{
    for (const MenuEntry &entry : menu) {
        if (!entry.IsPopup() && entry.id == id)
            return entry.text;
        if (std::string text = MenuTextOf(id, entry.items); !text.empty())
            return text;
    }
    return {};
}

std::string MenuTextOf(uint16_t id)
{
    for (uint16_t menu : { kDocumentMenuId, kMainResourceId })
        if (const MenuDefinition *definition = GetMenuResource(menu))
            if (std::string text = MenuTextOf(id, *definition); !text.empty())
                return text;
    return {};
}

} // namespace

QIcon ToolbarIcon(int index)
{
    static const QImage strip = [] {
        InitResources();
        return QImage(QStringLiteral(":/res/toolbar.bmp"));
    }();
    const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId);
    if (strip.isNull() || !toolbar || index < 0)
        return {};
    const QRect cell(index * toolbar->buttonWidth, 0, toolbar->buttonWidth, toolbar->buttonHeight);
    if (!strip.rect().contains(cell))
        return {};
    return QIcon(QPixmap::fromImage(strip.copy(cell)));
}

CommandActions::CommandActions(QWidget *window, Runner run)
    : QObject(window)
    , m_run(std::move(run))
{
    // Every command of the menu bars (not the greyed recent-file placeholder) and the toolbar.
    std::function<void(const MenuDefinition &)> visit = [&](const MenuDefinition &items) {
        for (const MenuEntry &entry : items) {
            if (entry.IsPopup())
                visit(entry.items);
            else if (entry.id != 0 && !(entry.flags & MenuFlag::Grayed))
                Make(entry.id, window);
        }
    };
    for (uint16_t menu : { kDocumentMenuId, kMainResourceId })
        if (const MenuDefinition *definition = GetMenuResource(menu))
            visit(*definition);
    if (const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId))
        for (uint16_t id : toolbar->buttons)
            if (id != 0)
                Make(id, window);
    MakeShortcuts(window);
}

QAction *CommandActions::Action(uint16_t id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QAction *CommandActions::Make(uint16_t id, QWidget *window)
{
    if (QAction *existing = Action(id))
        return existing;
    const CommandPrompt prompt = PromptOf(id);
    // A command without a menu entry (a toolbar button only) is named by its tooltip, so that
    // screen readers can say what the button does.
    QString text = ToQt(MenuTextOf(id));
    if (text.isEmpty()) {
        text = ToQt(prompt.tooltip.empty() ? prompt.status : prompt.tooltip);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    auto *action = new QAction(text, window);
    action->setStatusTip(ToQt(prompt.status));
    action->setToolTip(ToQt(prompt.tooltip.empty() ? prompt.status : prompt.tooltip));
    action->setData(id);
    if (const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId))
        if (const int image = ToolbarImageIndex(*toolbar, id); image >= 0)
            action->setIcon(ToolbarIcon(image));
    connect(action, &QAction::triggered, this, [this, id] {
        m_run(id);
    });
    m_actions[id] = action;
    return action;
}

void CommandActions::MakeShortcuts(QWidget *window)
{
    const auto *table = GetAcceleratorTable(kMainResourceId);
    if (!table)
        return;
    for (const Accelerator &accelerator : *table) {
        auto *shortcut = new QShortcut(ToKeySequence(accelerator), window);
        shortcut->setContext(Qt::WindowShortcut);
        const uint16_t id = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, id] {
            m_run(id);
        });
        m_shortcuts.emplace(id, shortcut);
    }
}

} // namespace ostrel
