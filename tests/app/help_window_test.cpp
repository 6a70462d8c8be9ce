#include "app/help_window.h"
#include "res/resources.h"

#include <QDir>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

namespace ostrel {
namespace {

QTextBrowser *Browser(CHelpWindow &help)
{
    return help.findChild<QTextBrowser *>(QStringLiteral("helpBrowser"));
}

QString Title(CHelpWindow &help)
{
    return Browser(help)->document()->metaInformation(QTextDocument::DocumentTitle);
}

QString Text(CHelpWindow &help)
{
    return Browser(help)->document()->toPlainText();
}

// Every link target of the shown page, as written in the page.
QStringList Links(CHelpWindow &help)
{
    QStringList links;
    for (QTextBlock block = Browser(help)->document()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty()
                && !links.contains(format.anchorHref()))
                links << format.anchorHref();
        }
    }
    return links;
}

QStringList IndexPages(CHelpWindow &help)
{
    help.ShowTopic(QStringLiteral("index.html"));
    return Links(help);
}

// The item text as the menu shows it: no mnemonic marker, no shortcut.
QString ShownText(const std::string &menuText)
{
    QString text = QString::fromLatin1(menuText.c_str()).section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    const int blanks = text.indexOf(QLatin1String("   "));
    return blanks < 0 ? text : text.left(blanks);
}

TEST(HelpWindow, ContentsListsEveryPageAndEveryPageLoads)
{
    CHelpWindow help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Ostrel Help"));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
    EXPECT_FALSE(Title(help).isEmpty());

    const QStringList listed = IndexPages(help);
    const QStringList bundled = QDir(QStringLiteral(":/help")).entryList({ "*.html" });
    ASSERT_GE(bundled.size(), 10);
    for (const QString &page : bundled) {
        if (page != QLatin1String("index.html")) {
            EXPECT_TRUE(listed.contains(page)) << page.toStdString() << " is not in the contents";
        }
    }
    for (const QString &page : listed) {
        help.ShowTopic(page);
        EXPECT_EQ(help.CurrentPage(), page);
        EXPECT_FALSE(Title(help).isEmpty()) << page.toStdString();
    }
}

TEST(HelpWindow, EveryLinkLeadsToABundledPage)
{
    CHelpWindow help;
    for (const QString &page : QDir(QStringLiteral(":/help")).entryList({ "*.html" })) {
        help.ShowTopic(page);
        for (const QString &link : Links(help)) {
            const QUrl url(link);
            EXPECT_TRUE(url.isRelative()) << page.toStdString() << ": " << link.toStdString();
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + url.path()))
                << page.toStdString() << ": " << link.toStdString();
        }
    }
}

TEST(HelpWindow, MenuPagesNameEveryCommandOfTheirMenu)
{
    const QHash<QString, QString> pageOfMenu {
        { "File", "file.html" },
        { "Edit", "edit.html" },
        { "View", "view.html" },
        { "Project", "project.html" },
        { "Compile", "compile.html" },
        { "Visual Code Generator", "codegen.html" },
        { "Chip", "chip.html" },
        { "Window", "window.html" },
        { "Help", "help.html" },
    };
    CHelpWindow help;
    for (uint16_t menuId : { kMainResourceId, kDocumentMenuId }) {
        const MenuDefinition *menu = GetMenuResource(menuId);
        ASSERT_NE(menu, nullptr);
        for (const MenuEntry &popup : *menu) {
            const QString title = ShownText(popup.text);
            ASSERT_TRUE(pageOfMenu.contains(title)) << title.toStdString();
            help.ShowTopic(pageOfMenu[title]);
            ASSERT_EQ(help.CurrentPage(), pageOfMenu[title]);
            for (const MenuEntry &item : popup.items) {
                if (!item.IsSeparator()) {
                    EXPECT_TRUE(Text(help).contains(ShownText(item.text)))
                        << pageOfMenu[title].toStdString() << " lacks " << item.text;
                }
            }
        }
    }
}

TEST(HelpWindow, GettingStartedExplainsProjectsAndCompiling)
{
    CHelpWindow help;
    help.ShowTopic(QStringLiteral("getting_started.html"));
    EXPECT_EQ(Title(help), QStringLiteral("Getting Started"));
    const QString text = Text(help);
    for (const char *term : { "F9", "New Project", "Project Settings", "Code Start Address",
             "External SRAM", "ATmega603/103", ".ASM", ".LIB", "OSTREL.EXE", "<avr/io.h>", "ISR(",
             "Compiler Output Window", "Double-click", "VOTRIX.cfg" })
        EXPECT_TRUE(text.contains(QLatin1String(term))) << term;
}

TEST(HelpWindow, UnknownTopicShowsTheContents)
{
    for (const char *topic : { "", "nosuch.html", "../resources.cpp", "/help/file.html",
             "qrc:/help/file.html", "help.qrc#x" }) {
        CHelpWindow help;
        help.ShowTopic(QStringLiteral("edit.html"));
        help.ShowTopic(QLatin1String(topic));
        EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html")) << topic;
        EXPECT_FALSE(Title(help).isEmpty()) << topic;
    }
}

TEST(HelpWindow, BackForwardAndContentsMoveThroughThePagesRead)
{
    CHelpWindow help;
    auto *back = help.findChild<QPushButton *>(QStringLiteral("backButton"));
    auto *forward = help.findChild<QPushButton *>(QStringLiteral("forwardButton"));
    auto *contents = help.findChild<QPushButton *>(QStringLiteral("contentsButton"));
    ASSERT_TRUE(back && forward && contents);
    EXPECT_FALSE(back->isEnabled());

    // A link is followed relative to the page it is on.
    emit Browser(help)->anchorClicked(QUrl(QStringLiteral("getting_started.html")));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("getting_started.html"));
    emit Browser(help)->anchorClicked(QUrl(QStringLiteral("compile.html")));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("compile.html"));

    back->click();
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("getting_started.html"));
    EXPECT_TRUE(forward->isEnabled());
    back->click();
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
    EXPECT_FALSE(back->isEnabled());
    forward->click();
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("getting_started.html"));
    contents->click();
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
    EXPECT_FALSE(forward->isEnabled());
}

TEST(HelpWindow, LinksOutOfTheHelpAreNotFollowed)
{
    CHelpWindow help;
    help.ShowTopic(QStringLiteral("file.html"));
    for (const char *link : { "http://example.com/", "https://example.com/index.html",
             "file:///etc/passwd", "qrc:/other/index.html", "sub/index.html", "nosuch.html" }) {
        emit Browser(help)->anchorClicked(QUrl(QLatin1String(link)));
        EXPECT_EQ(help.CurrentPage(), QStringLiteral("file.html")) << link;
    }
}

} // namespace
} // namespace ostrel
