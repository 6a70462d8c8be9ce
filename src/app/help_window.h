#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;
class QUrl;

namespace ostrel {

// "Ostrel Help": a tool window that shows the help pages built into the program (qrc:/help/)
// with Back, Forward and Contents. Links between the pages are followed; links that lead
// outside the help are ignored. The main frame keeps one and shows it on Help Topics and F1.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget *parent = nullptr);

    // Shows a page by its file name ("index.html", "getting_started.html", optionally with
    // "#anchor"); a page that the help does not hold shows the contents page instead.
    void ShowTopic(const QString &page);
    // File name of the page shown, e.g. "index.html".
    QString CurrentPage() const;

private:
    void FollowLink(const QUrl &link);

    QTextBrowser *m_browser;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPushButton *m_contents;
};

} // namespace ostrel
