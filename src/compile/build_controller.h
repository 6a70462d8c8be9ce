#pragma once

#include "compile/build_driver.h"
#include "compile/message_navigation.h"
#include "compile/output_window.h"

#include <QObject>
#include <QPointer>

#include <string>
#include <vector>

namespace ostrel {

class CChildFrame;
class CQuorlenApp;

// Compile and the output window in the running application: the driver's view of the
// active source window, the one output window, and going from a message to its line.
class BuildController : public QObject, public BuildHost
{
    Q_OBJECT

public:
    explicit BuildController(CQuorlenApp &app);
    ~BuildController() override;

    // Once the main window and the documents exist: F4 and Shift+F4 step through the
    // messages, and documents opened after a build show its marks.
    void ConnectWindows();

    void Compile();
    // Replaces the output window with a new one at its fixed place and lists the messages.
    void ShowOutputWindow() override;
    // Opens the file a message names and selects its line; nothing for other entries.
    void Navigate(const std::string &entry);
    // Goes to the next (or previous) message that names a place, as a double-click does;
    // past the last one it starts again at the first, and the other way round.
    void StepMessage(bool forward);

    const BuildDriver &Driver() const { return m_driver; }
    BuildDriver &Driver() { return m_driver; }
    COutputWindow *OutputWindow() const { return m_outputWindow; }
    // The file and line of the last message followed.
    const std::string &NavigationFile() const { return m_navigationFile; }
    int32_t NavigationLine() const { return m_navigationLine; }

    // BuildHost
    bool HasActiveDocument() const override;
    bool ActiveDocumentModified() const override;
    bool ActiveDocumentHasPath() const override;
    void SaveActiveDocument() override;
    void BuildStarting() override;
    void BuildFinished() override;
    void ShowStatus(const std::string &text) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CChildFrame *ActiveFrame() const;
    void AddStepKeys(QWidget *window);
    void MarkOpenDocuments();

    CQuorlenApp &m_app;
    BuildDriver m_driver;
    QPointer<COutputWindow> m_outputWindow;
    std::string m_navigationFile;
    int32_t m_navigationLine = 0;
    // The last build's messages about lines, with the files resolved.
    std::vector<LineMessage> m_lineMessages;
};

} // namespace ostrel
