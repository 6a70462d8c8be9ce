#include "framework/command_map.h"
#include "framework/command_router.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

// Every fake target writes what ran into one shared log, so the route's order is visible.
using Log = std::vector<std::string>;

class FakeView : public CommandTargetOf<FakeView>
{
public:
    explicit FakeView(Log &log)
        : m_log(log)
    {
    }
    static const CommandMap<FakeView> &Commands()
    {
        using M = CommandMap<FakeView>;
        static const M map {
            M::On(CommandId::EditCopy, &FakeView::OnCopy),
            M::On(CommandId::ChangeTabSize, &FakeView::OnTabSize),
            M::OnState(CommandId::EditPaste, &FakeView::OnUpdatePaste),
        };
        return map;
    }
    void OnCopy() { m_log.push_back("view copy"); }
    void OnTabSize() { m_log.push_back("view tab"); }
    void OnUpdatePaste(CommandState &state) { state.enabled = clipboardHasText; }

    bool clipboardHasText = false;

private:
    Log &m_log;
};

class FakeApp : public CommandTargetOf<FakeApp>
{
public:
    explicit FakeApp(Log &log)
        : m_log(log)
    {
    }
    static const CommandMap<FakeApp> &Commands()
    {
        using M = CommandMap<FakeApp>;
        // The program's own File New stands before the standard one, so it is the one that runs.
        static const M map {
            M::On(CommandId::FileNew, &FakeApp::OnFileNew),
            M::On(CommandId::FileNew, &FakeApp::OnStandardFileNew),
            M::On(CommandId::Compile, &FakeApp::OnCompile),
            M::OnState(CommandId::Compile, &FakeApp::OnUpdateCompile),
            M::On(CommandId::EditCopy, &FakeApp::OnCopy),
            M::On(CommandId::EditPaste, &FakeApp::OnPaste),
            M::OnState(CommandId::OutputWindow, &FakeApp::OnUpdateOutput),
            M::OnRange(
                CommandId::RecentFileFirst, CommandId::RecentFileLast, &FakeApp::OnRecentFile),
        };
        return map;
    }
    void OnFileNew() { m_log.push_back("app new"); }
    void OnStandardFileNew() { m_log.push_back("standard new"); }
    void OnCompile() { m_log.push_back("app compile"); }
    void OnUpdateCompile(CommandState &state)
    {
        state.enabled = true;
        state.checked = compiling;
    }
    void OnCopy() { m_log.push_back("app copy"); }
    void OnPaste() { m_log.push_back("app paste"); }
    void OnUpdateOutput(CommandState &state)
    {
        state.checked = true;
        state.radio = true;
    }
    void OnRecentFile(uint16_t id) { m_log.push_back("recent " + std::to_string(id)); }

    bool compiling = false;

private:
    Log &m_log;
};

struct RouterTest : ::testing::Test
{
    Log log;
    FakeView view { log };
    FakeApp app { log };
};

TEST_F(RouterTest, FirstTargetWithAHandlerRuns)
{
    CommandRouter router({ &view, nullptr, nullptr, &app });
    EXPECT_TRUE(router.Route(CommandId::EditCopy));
    EXPECT_TRUE(router.Route(CommandId::ChangeTabSize));
    EXPECT_TRUE(router.Route(CommandId::FileNew));
    EXPECT_EQ(log, (Log { "view copy", "view tab", "app new" }));

    // Without a view the application's copy is reached, and view-only commands go nowhere.
    log.clear();
    router.SetRoute({ nullptr, nullptr, nullptr, &app });
    EXPECT_TRUE(router.Route(CommandId::EditCopy));
    EXPECT_FALSE(router.Route(CommandId::ChangeTabSize));
    EXPECT_FALSE(router.IsEnabled(CommandId::ChangeTabSize));
    EXPECT_EQ(log, (Log { "app copy" }));
}

TEST_F(RouterTest, EnabledExactlyWhileSomeTargetHasAHandler)
{
    CommandRouter router({ &view, nullptr, nullptr, &app });
    EXPECT_FALSE(router.IsEnabled(CommandId::Debug));
    EXPECT_FALSE(router.Route(CommandId::Debug));
    EXPECT_FALSE(router.IsEnabled(CommandId::Escape));
    EXPECT_FALSE(router.Route(CommandId::Escape));
    EXPECT_TRUE(router.IsEnabled(CommandId::ChangeTabSize));
    EXPECT_TRUE(router.IsEnabled(CommandId::Compile));
    EXPECT_TRUE(log.empty());

    CommandRouter empty;
    EXPECT_FALSE(empty.IsEnabled(CommandId::Compile));
    EXPECT_FALSE(empty.Route(CommandId::Compile));
}

TEST_F(RouterTest, FirstStateHandlerDecidesAndDisabledCommandsDoNotRun)
{
    // The view's state handler stands before the application's paste handler.
    CommandRouter router({ &view, nullptr, nullptr, &app });
    EXPECT_FALSE(router.IsEnabled(CommandId::EditPaste));
    EXPECT_FALSE(router.Route(CommandId::EditPaste));
    EXPECT_TRUE(log.empty());

    view.clipboardHasText = true;
    EXPECT_TRUE(router.Route(CommandId::EditPaste));
    EXPECT_EQ(log, (Log { "app paste" }));

    // Without the view, only the handler counts.
    router.SetRoute({ &app });
    view.clipboardHasText = false;
    EXPECT_TRUE(router.IsEnabled(CommandId::EditPaste));
}

TEST_F(RouterTest, StateHandlerSetsCheckMarks)
{
    CommandRouter router({ nullptr, nullptr, nullptr, &app });
    EXPECT_FALSE(router.QueryState(CommandId::Compile).checked);
    app.compiling = true;
    const CommandState compile = router.QueryState(CommandId::Compile);
    EXPECT_TRUE(compile.enabled);
    EXPECT_TRUE(compile.checked);
    EXPECT_FALSE(compile.radio);

    // A state handler alone keeps its command enabled, but there is nothing to run.
    const CommandState output = router.QueryState(CommandId::OutputWindow);
    EXPECT_TRUE(output.enabled);
    EXPECT_TRUE(output.checked);
    EXPECT_TRUE(output.radio);
    EXPECT_FALSE(router.Route(CommandId::OutputWindow));
}

TEST_F(RouterTest, RangeHandlerHearsWhichIdCame)
{
    CommandRouter router({ &app });
    EXPECT_TRUE(router.Route(CommandId::RecentFileFirst));
    EXPECT_TRUE(router.Route(static_cast<uint16_t>(57620)));
    EXPECT_TRUE(router.Route(CommandId::RecentFileLast));
    EXPECT_FALSE(router.Route(static_cast<uint16_t>(57632)));
    EXPECT_EQ(log, (Log { "recent 57616", "recent 57620", "recent 57631" }));
}

} // namespace
} // namespace ostrel
