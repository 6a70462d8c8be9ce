#include "app/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The pages live in a static library, so their resource must be registered before first use.
// Q_INIT_RESOURCE declares a global function and may not be used inside a namespace.
static void InitHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace ostrel {

namespace {

const QString kContentsPage = QStringLiteral("index.html");

// The page's URL when the help holds it, otherwise an empty URL. Only plain file names in
// the help folder count: no folders, no other schemes.
QUrl HelpPageUrl(const QString &page)
{
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\'))
        || !QFile::exists(QStringLiteral(":/help/") + file))
        return {};
    QUrl url(QStringLiteral("qrc:/help/") + file);
    const QString fragment = page.section(QLatin1Char('#'), 1);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

} // namespace

CHelpWindow::CHelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_browser(new QTextBrowser(this))
    , m_back(new QPushButton(tr("&Back"), this))
    , m_forward(new QPushButton(tr("&Forward"), this))
    , m_contents(new QPushButton(tr("&Contents"), this))
{
    static const bool resourceReady = (InitHelpResource(), true);
    Q_UNUSED(resourceReady);

    setWindowTitle(tr("Ostrel Help"));
    setObjectName(QStringLiteral("helpWindow"));
    resize(560, 480);

    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setAccessibleName(tr("Help page"));
    // Links are followed by FollowLink alone, so nothing leaves the help.
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(false);

    m_back->setObjectName(QStringLiteral("backButton"));
    m_forward->setObjectName(QStringLiteral("forwardButton"));
    m_contents->setObjectName(QStringLiteral("contentsButton"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_contents);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QPushButton::clicked, this, [this] {
        ShowTopic(kContentsPage);
    });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::FollowLink);

    ShowTopic(kContentsPage);
}

void CHelpWindow::ShowTopic(const QString &page)
{
    QUrl url = HelpPageUrl(page);
    if (url.isEmpty())
        url = HelpPageUrl(kContentsPage);
    m_browser->setSource(url);
}

QString CHelpWindow::CurrentPage() const
{
    return m_browser->source().fileName();
}

void CHelpWindow::FollowLink(const QUrl &link)
{
    // Only pages of the help folder are followed; links out of the help are ignored.
    const QUrl target = m_browser->source().resolved(link);
    if (target.scheme() != QLatin1String("qrc")
        || target.path() != QStringLiteral("/help/") + target.fileName()
        || !QFile::exists(QLatin1Char(':') + target.path()))
        return;
    m_browser->setSource(target);
}

} // namespace ostrel
