#pragma once

#include "build/build_driver.h"
#include "build/output_window.h"

#include <QObject>
#include <QPointer>

#include <string>

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

    void Compile();
    // Replaces the output window with a new one at its fixed place and lists the messages.
    void ShowOutputWindow() override;
    // Opens the file a message names and selects its line; nothing for other entries.
    void Navigate(const std::string &entry);

    const BuildDriver &Driver() const { return m_driver; }
    COutputWindow *OutputWindow() const { return m_outputWindow; }
    // The file and line of the last message followed.
    const std::string &NavigationFile() const { return m_navigationFile; }
    int32_t NavigationLine() const { return m_navigationLine; }

    // BuildHost
    bool HasActiveDocument() const override;
    bool ActiveDocumentModified() const override;
    bool ActiveDocumentHasPath() const override;
    void SaveActiveDocument() override;

private:
    CChildFrame *ActiveFrame() const;

    CQuorlenApp &m_app;
    BuildDriver m_driver;
    QPointer<COutputWindow> m_outputWindow;
    std::string m_navigationFile;
    int32_t m_navigationLine = 0;
};

} // namespace ostrel
