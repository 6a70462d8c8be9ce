#pragma once

#include "chip/serial_log.h"
#include "chip/serial_render.h"
#include "chip/serial_send.h"

#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSerialPort;

namespace ostrel {

class FileDialogs;
class MessageBoxes;
class PendingWait;
class Sleeper;

struct SerialMonitorServices
{
    Sleeper &sleeper; // the batched view updates and the wait for an unplugged port
    FileDialogs &fileDialogs;
    MessageBoxes &messages;
};

// "Serial Monitor": a window of its own beside the main window, on one serial port. What comes
// in is kept in a bounded log and shown in batches a few times a second, never byte by byte, so
// a port that floods keeps the program responsive. An unplugged adapter is reported and opened
// again when it is back.
class CSerialMonitor : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFlushMs = 40;
    static constexpr int kReopenPollMs = 500;
    static constexpr int kDefaultMaxLines = 20000;

    CSerialMonitor(SerialMonitorServices services, QWidget *owner);
    ~CSerialMonitor() override;

    // The baud rate the port list starts with while no port is open (the project's UART
    // setting, or 9600).
    void SetDefaultBaud(int baud);

    // Opens the port in the port box with the settings of the window; false, with a line in
    // the view that says why, when it cannot.
    bool OpenPort();
    void ClosePort();
    bool IsOpen() const;
    std::string PortPath() const; // what the port box names, as a path

    // For the programmer: closes the port when the monitor has this one open (or waits for it
    // to come back after an unplug) and remembers to open it again. True when it did.
    bool ReleasePort(const std::string &port);
    // Opens the port released by ReleasePort again. True when there was one and it opened.
    bool RestorePort();

    // Shows the bytes received so far now instead of at the next batch.
    void FlushNow();

    const SerialLog &Log() const { return m_log; }
    SerialViewOptions ViewOptions() const;
    void SetViewOptions(const SerialViewOptions &options);
    // Saves all that is kept, as the view shows it, through the save dialog.
    void SaveLog();
    void ClearLog();
    void SendLine();
    void RefreshPorts();

    QPlainTextEdit *View() const { return m_view; }
    QLineEdit *SendEdit() const { return m_sendEdit; }
    QComboBox *PortBox() const { return m_portBox; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void OnReadyRead();
    void OnPortError();
    void Note(const std::string &text);
    void Append(const std::string &text);
    void ScheduleFlush();
    void Redraw();
    void PollForPort();
    void UpdateOpenState();
    bool ConfigurePort();

    SerialMonitorServices m_services;
    SerialLog m_log;
    SerialRenderer m_renderer;
    SendHistory m_history;
    std::string m_pending; // rendered, not yet in the view
    bool m_flushScheduled = false;
    std::unique_ptr<PendingWait> m_flushWait;
    std::unique_ptr<PendingWait> m_pollWait;
    std::string m_waitingFor; // an unplugged port, polled until it is back
    std::string m_released; // the port ReleasePort closed
    bool m_polling = false;

    QSerialPort *m_serial;
    QComboBox *m_portBox;
    QComboBox *m_baudBox;
    QComboBox *m_dataBitsBox;
    QComboBox *m_parityBox;
    QComboBox *m_stopBitsBox;
    QPushButton *m_openButton;
    QComboBox *m_viewBox;
    QComboBox *m_lineBreakBox;
    QCheckBox *m_showLineEnds;
    QComboBox *m_unprintableBox;
    QCheckBox *m_timestamps;
    QPlainTextEdit *m_view;
    QLineEdit *m_sendEdit;
    QComboBox *m_lineEndBox;
    QPushButton *m_sendButton;
    QLabel *m_status;
};

} // namespace ostrel
