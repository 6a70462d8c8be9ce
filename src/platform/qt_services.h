#pragma once

#include "platform/clipboard.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/profile.h"
#include "platform/sleeper.h"

#include <QPointer>
#include <QSettings>
#include <QString>
#include <QWidget>

namespace ostrel {

// Bytes of the core <-> text of Qt: the one place where paths and texts cross over.
QString ToQt(const std::string &text);
std::string FromQt(const QString &text);

// Message boxes owned by the main window (or, before it is known, the active window).
class QtMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer Show(const MessageRequest &request) override;
    void SetOwner(QWidget *owner) { m_owner = owner; }

private:
    QWidget *Owner() const;

    QPointer<QWidget> m_owner;
};

class QtFileDialogs : public FileDialogs
{
public:
    std::optional<std::string> OpenFile(const FileDialogRequest &request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest &request) override;
    std::vector<std::string> OpenFiles(const FileDialogRequest &request) override;
    std::optional<std::string> ChooseFolder(const std::string &title) override;
    void SetOwner(QWidget *owner) { m_owner = owner; }

private:
    QPointer<QWidget> m_owner;
};

// "C Files (*.c)|*.c|...||" as the name filters of a Qt file dialog. Patterns also match in
// upper case, so MAIN.C shows under "*.c" on file systems that tell case apart.
QStringList ToQtNameFilters(const std::string &filter);

// Waits as single-shot timers of the event loop.
class QtSleeper : public Sleeper
{
public:
    std::unique_ptr<PendingWait> After(int milliseconds, std::function<void()> then) override;
};

class QtProfile : public Profile
{
public:
    QtProfile();
    std::string GetString(const std::string &section, const std::string &key,
        const std::string &fallback) const override;
    void WriteString(
        const std::string &section, const std::string &key, const std::string &value) override;
    int GetInt(const std::string &section, const std::string &key, int fallback) const override;
    void WriteInt(const std::string &section, const std::string &key, int value) override;

private:
    QSettings m_settings;
};

// The system clipboard. Whether it holds text is followed through its change signal, so that
// the command-state updates never read the clipboard's contents.
class QtClipboard : public Clipboard
{
public:
    QtClipboard();
    void SetText(const std::string &text) override;
    std::string Text() const override;
    bool HasText() const override { return m_hasText; }
    std::vector<std::string> TextFormats() const override;
    std::string TextOfFormat(const std::string &format) const override;

private:
    void Follow();

    QObject m_watcher; // ends the connection when the clipboard object goes
    bool m_hasText = false;
};

} // namespace ostrel
