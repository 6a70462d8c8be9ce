#include "chip/serial_monitor.h"

#include "framework/safe_file.h"
#include "platform/backup_folder.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"
#include "platform/sleeper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTextCursor>
#include <QTime>
#include <QVBoxLayout>

namespace ostrel {

namespace {

int64_t NowOfDay()
{
    return QTime::currentTime().msecsSinceStartOfDay();
}

QComboBox *MakeBox(QWidget *parent, const char *name, const QStringList &items, int current)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}

QString Latin1(const std::string &text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A port as a path: "ttyUSB0" from the port list is /dev/ttyUSB0; links are followed, so two
// names of one device compare equal.
std::string CanonicalPort(const std::string &port)
{
    QString path = ToQt(port).trimmed();
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')))
        path = QStringLiteral("/dev/") + path;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return FromQt(canonical.isEmpty() ? path : canonical);
}

} // namespace

CSerialMonitor::CSerialMonitor(SerialMonitorServices services, QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_services(services)
    , m_serial(new QSerialPort(this))
{
    setObjectName(QStringLiteral("serialMonitor"));
    setWindowTitle(QStringLiteral("Serial Monitor"));
    BuildControls();
    RefreshPorts();
    m_renderer.Reset(ViewOptions());
    connect(m_serial, &QSerialPort::readyRead, this, &CSerialMonitor::OnReadyRead);
    connect(m_serial, &QSerialPort::errorOccurred, this, &CSerialMonitor::OnPortError);
    UpdateOpenState();
    resize(720, 480);
}

CSerialMonitor::~CSerialMonitor()
{
    m_flushWait.reset();
    m_pollWait.reset();
}

void CSerialMonitor::BuildControls()
{
    m_portBox = new QComboBox(this);
    m_portBox->setObjectName(QStringLiteral("port"));
    m_portBox->setEditable(true);
    m_portBox->setMinimumContentsLength(16);
    m_portBox->setAccessibleName(QStringLiteral("Port"));
    auto *refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    refresh->setObjectName(QStringLiteral("refresh"));
    connect(refresh, &QPushButton::clicked, this, &CSerialMonitor::RefreshPorts);
    m_baudBox = MakeBox(this, "baud",
        { "110", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200",
            "230400", "460800", "921600" },
        6);
    m_baudBox->setEditable(true);
    m_baudBox->setValidator(nullptr);
    m_dataBitsBox = MakeBox(this, "dataBits", { "5", "6", "7", "8" }, 3);
    m_parityBox = MakeBox(this, "parity", { "None", "Even", "Odd", "Mark", "Space" }, 0);
    m_stopBitsBox = MakeBox(this, "stopBits", { "1", "1.5", "2" }, 0);
    m_openButton = new QPushButton(QStringLiteral("&Open"), this);
    m_openButton->setObjectName(QStringLiteral("open"));
    connect(m_openButton, &QPushButton::clicked, this, [this] {
        if (IsOpen() || !m_waitingFor.empty())
            ClosePort();
        else
            OpenPort();
    });

    auto *portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Port"), this));
    portRow->addWidget(m_portBox, 1);
    portRow->addWidget(refresh);
    portRow->addWidget(new QLabel(QStringLiteral("Baud"), this));
    portRow->addWidget(m_baudBox);
    portRow->addWidget(m_dataBitsBox);
    portRow->addWidget(m_parityBox);
    portRow->addWidget(m_stopBitsBox);
    portRow->addWidget(m_openButton);

    m_viewBox = MakeBox(this, "view", { "Text", "Hex" }, 0);
    m_lineBreakBox =
        MakeBox(this, "lineBreak", { "Lines end at LF", "Lines end at CR", "CR, LF or CR LF" }, 2);
    m_showLineEnds = new QCheckBox(QStringLiteral("Show CR/&LF"), this);
    m_showLineEnds->setObjectName(QStringLiteral("showLineEnds"));
    m_unprintableBox = MakeBox(this, "unprintable", { "Others as \\xHH", "Others as ." }, 0);
    m_timestamps = new QCheckBox(QStringLiteral("&Time stamps"), this);
    m_timestamps->setObjectName(QStringLiteral("timestamps"));
    auto *clear = new QPushButton(QStringLiteral("&Clear"), this);
    clear->setObjectName(QStringLiteral("clear"));
    connect(clear, &QPushButton::clicked, this, &CSerialMonitor::ClearLog);
    auto *save = new QPushButton(QStringLiteral("Sa&ve..."), this);
    save->setObjectName(QStringLiteral("save"));
    connect(save, &QPushButton::clicked, this, &CSerialMonitor::SaveLog);
    for (QComboBox *box : { m_viewBox, m_lineBreakBox, m_unprintableBox })
        connect(box, &QComboBox::currentIndexChanged, this, &CSerialMonitor::Redraw);
    for (QCheckBox *check : { m_showLineEnds, m_timestamps })
        connect(check, &QCheckBox::toggled, this, &CSerialMonitor::Redraw);

    auto *viewRow = new QHBoxLayout;
    viewRow->addWidget(m_viewBox);
    viewRow->addWidget(m_lineBreakBox);
    viewRow->addWidget(m_showLineEnds);
    viewRow->addWidget(m_unprintableBox);
    viewRow->addWidget(m_timestamps);
    viewRow->addStretch(1);
    viewRow->addWidget(clear);
    viewRow->addWidget(save);

    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("received"));
    m_view->setAccessibleName(QStringLiteral("Received"));
    m_view->setReadOnly(true);
    m_view->setUndoRedoEnabled(false);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setMaximumBlockCount(kDefaultMaxLines);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_sendEdit = new QLineEdit(this);
    m_sendEdit->setObjectName(QStringLiteral("send"));
    m_sendEdit->setAccessibleName(QStringLiteral("Send"));
    m_sendEdit->setPlaceholderText(QStringLiteral("Text to send; \\xHH for any byte"));
    m_sendEdit->installEventFilter(this);
    connect(m_sendEdit, &QLineEdit::returnPressed, this, &CSerialMonitor::SendLine);
    m_lineEndBox = MakeBox(this, "lineEnd", { "No line end", "CR", "LF", "CR LF" }, 2);
    m_sendButton = new QPushButton(QStringLiteral("&Send"), this);
    m_sendButton->setObjectName(QStringLiteral("sendButton"));
    connect(m_sendButton, &QPushButton::clicked, this, &CSerialMonitor::SendLine);
    auto *sendRow = new QHBoxLayout;
    sendRow->addWidget(m_sendEdit, 1);
    sendRow->addWidget(m_lineEndBox);
    sendRow->addWidget(m_sendButton);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addLayout(viewRow);
    layout->addWidget(m_view, 1);
    layout->addLayout(sendRow);
    layout->addWidget(m_status);
}

void CSerialMonitor::SetDefaultBaud(int baud)
{
    if (IsOpen() || baud <= 0)
        return;
    m_baudBox->setCurrentText(QString::number(baud));
}

void CSerialMonitor::RefreshPorts()
{
    const QString typed = m_portBox->currentText();
    m_portBox->clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        m_portBox->addItem(info.systemLocation());
        if (!info.description().isEmpty())
            m_portBox->setItemData(m_portBox->count() - 1, info.description(), Qt::ToolTipRole);
    }
    // A typed path (a pseudo-terminal is never listed) stays as it was.
    if (!typed.isEmpty())
        m_portBox->setCurrentText(typed);
}

std::string CSerialMonitor::PortPath() const
{
    QString path = m_portBox->currentText().trimmed();
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')))
        path = QStringLiteral("/dev/") + path;
    return FromQt(path);
}

bool CSerialMonitor::IsOpen() const
{
    return m_serial->isOpen();
}

bool CSerialMonitor::ConfigurePort()
{
    bool ok = false;
    const int baud = m_baudBox->currentText().trimmed().toInt(&ok);
    if (!ok || baud <= 0) {
        Note("The baud rate \"" + FromQt(m_baudBox->currentText()) + "\" is not a number");
        return false;
    }
    static constexpr QSerialPort::Parity kParity[] = { QSerialPort::NoParity,
        QSerialPort::EvenParity, QSerialPort::OddParity, QSerialPort::MarkParity,
        QSerialPort::SpaceParity };
    static constexpr QSerialPort::StopBits kStopBits[] = { QSerialPort::OneStop,
        QSerialPort::OneAndHalfStop, QSerialPort::TwoStop };
    return m_serial->setBaudRate(baud)
        && m_serial->setDataBits(
            static_cast<QSerialPort::DataBits>(5 + m_dataBitsBox->currentIndex()))
        && m_serial->setParity(kParity[m_parityBox->currentIndex()])
        && m_serial->setStopBits(kStopBits[m_stopBitsBox->currentIndex()])
        && m_serial->setFlowControl(QSerialPort::NoFlowControl);
}

bool CSerialMonitor::OpenPort()
{
    const std::string path = PortPath();
    if (path.empty()) {
        Note("Choose or type a port first");
        return false;
    }
    if (IsOpen())
        m_serial->close();
    m_serial->setPortName(ToQt(path));
    if (!m_serial->open(QIODevice::ReadWrite)) {
        Note("Cannot open " + path + ": " + FromQt(m_serial->errorString()));
        UpdateOpenState();
        return false;
    }
    if (!ConfigurePort()) {
        Note("Cannot set up " + path + ": " + FromQt(m_serial->errorString()));
        m_serial->close();
        UpdateOpenState();
        return false;
    }
    m_waitingFor.clear();
    m_pollWait.reset();
    Note("Opened " + path + " at " + FromQt(m_baudBox->currentText().trimmed()) + " baud");
    UpdateOpenState();
    return true;
}

void CSerialMonitor::ClosePort()
{
    const bool wasWaiting = !m_waitingFor.empty();
    m_waitingFor.clear();
    m_pollWait.reset();
    if (IsOpen()) {
        OnReadyRead();
        m_serial->close();
        Note("Closed " + FromQt(m_serial->portName()));
    } else if (wasWaiting) {
        Note("No longer waiting for the port");
    }
    UpdateOpenState();
}

void CSerialMonitor::OnReadyRead()
{
    const QByteArray bytes = m_serial->readAll();
    if (bytes.isEmpty())
        return;
    const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    const int64_t now = NowOfDay();
    m_log.Append(view, now);
    Append(m_renderer.Feed(view, now));
}

void CSerialMonitor::OnPortError()
{
    const QSerialPort::SerialPortError error = m_serial->error();
    if (error == QSerialPort::NoError || !IsOpen())
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        Note("Port error: " + FromQt(m_serial->errorString()));
        m_serial->clearError();
        return;
    }
    // The device went away (an adapter pulled out, the other end of a pseudo-terminal closed):
    // a read that fails or finds nothing on a port said to be readable. Should the device still
    // be there after all, the first poll opens it again.
    const std::string path = FromQt(m_serial->portName());
    OnReadyRead();
    m_serial->close();
    Note("The port " + path + " is gone; it is opened again when it is back");
    m_waitingFor = path;
    UpdateOpenState();
    m_pollWait = m_services.sleeper.After(kReopenPollMs, [this] {
        PollForPort();
    });
}

void CSerialMonitor::PollForPort()
{
    // A test's sleeper ends each wait at once: never poll inside a poll.
    if (m_polling || m_waitingFor.empty())
        return;
    m_polling = true;
    m_serial->setPortName(ToQt(m_waitingFor));
    if (QFileInfo::exists(ToQt(m_waitingFor)) && m_serial->open(QIODevice::ReadWrite)
        && ConfigurePort()) {
        Note("The port " + m_waitingFor + " is back");
        m_waitingFor.clear();
        m_pollWait.reset();
        UpdateOpenState();
    } else {
        if (m_serial->isOpen())
            m_serial->close();
        m_pollWait = m_services.sleeper.After(kReopenPollMs, [this] {
            PollForPort();
        });
    }
    m_polling = false;
}

bool CSerialMonitor::ReleasePort(const std::string &port)
{
    const std::string wanted = CanonicalPort(port);
    if (IsOpen() && CanonicalPort(FromQt(m_serial->portName())) == wanted) {
        m_released = FromQt(m_serial->portName());
        OnReadyRead();
        m_serial->close();
        Note("Closed " + m_released + " for the programmer");
        UpdateOpenState();
        return true;
    }
    if (!m_waitingFor.empty() && CanonicalPort(m_waitingFor) == wanted) {
        m_released = m_waitingFor;
        m_waitingFor.clear();
        m_pollWait.reset();
        UpdateOpenState();
        return true;
    }
    return false;
}

bool CSerialMonitor::RestorePort()
{
    if (m_released.empty())
        return false;
    const std::string port = std::exchange(m_released, {});
    m_portBox->setCurrentText(ToQt(port));
    return OpenPort();
}

void CSerialMonitor::Note(const std::string &text)
{
    const int64_t now = NowOfDay();
    m_log.AppendNote(text, now);
    Append(m_renderer.Note(text, now));
    m_status->setText(ToQt(text));
}

void CSerialMonitor::Append(const std::string &text)
{
    if (text.empty())
        return;
    m_pending += text;
    // Far more than the view keeps: only its last lines are of use.
    if (m_pending.size() > 8u << 20)
        m_pending = std::string(LastLines(m_pending, kDefaultMaxLines));
    ScheduleFlush();
}

void CSerialMonitor::ScheduleFlush()
{
    if (m_flushScheduled)
        return;
    m_flushScheduled = true;
    auto wait = m_services.sleeper.After(kFlushMs, [this] {
        FlushNow();
    });
    if (m_flushScheduled)
        m_flushWait = std::move(wait);
}

void CSerialMonitor::FlushNow()
{
    m_flushScheduled = false;
    m_flushWait.reset();
    if (m_pending.empty())
        return;
    QScrollBar *bar = m_view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(m_view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Latin1(m_pending));
    m_pending.clear();
    if (atEnd)
        bar->setValue(bar->maximum());
}

SerialViewOptions CSerialMonitor::ViewOptions() const
{
    SerialViewOptions options;
    options.view = static_cast<SerialView>(m_viewBox->currentIndex());
    options.lineBreak = static_cast<SerialLineBreak>(m_lineBreakBox->currentIndex());
    options.showLineEnds = m_showLineEnds->isChecked();
    options.unprintable = static_cast<SerialUnprintable>(m_unprintableBox->currentIndex());
    options.timestamps = m_timestamps->isChecked();
    return options;
}

void CSerialMonitor::SetViewOptions(const SerialViewOptions &options)
{
    const QSignalBlocker blockers[] = { QSignalBlocker(m_viewBox), QSignalBlocker(m_lineBreakBox),
        QSignalBlocker(m_showLineEnds), QSignalBlocker(m_unprintableBox),
        QSignalBlocker(m_timestamps) };
    m_viewBox->setCurrentIndex(static_cast<int>(options.view));
    m_lineBreakBox->setCurrentIndex(static_cast<int>(options.lineBreak));
    m_showLineEnds->setChecked(options.showLineEnds);
    m_unprintableBox->setCurrentIndex(static_cast<int>(options.unprintable));
    m_timestamps->setChecked(options.timestamps);
    Redraw();
}

// Draws the view again from the log with the options of the controls; the last line stays
// open for the bytes still to come.
void CSerialMonitor::Redraw()
{
    const SerialViewOptions options = ViewOptions();
    m_renderer.Reset(options);
    const std::string text = m_log.Render(options);
    m_pending.clear();
    m_flushScheduled = false;
    m_flushWait.reset();
    m_view->setPlainText(Latin1(std::string(LastLines(text, kDefaultMaxLines))));
    m_view->moveCursor(QTextCursor::End);
}

void CSerialMonitor::ClearLog()
{
    m_log.Clear();
    m_renderer.Reset(ViewOptions());
    m_pending.clear();
    m_view->clear();
}

void CSerialMonitor::SaveLog()
{
    FlushNow();
    FileDialogRequest request;
    request.title = "Save Received Text";
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.defaultExtension = "txt";
    request.initialName = "serial.txt";
    const std::optional<std::string> path = m_services.fileDialogs.SaveFile(request);
    if (!path)
        return;
    const SaveResult saved =
        SaveFileContents(*path, m_log.Render(ViewOptions()), SaveBackupFolder());
    if (!saved.ok)
        m_services.messages.Warn("Cannot save " + *path + ": " + saved.reason);
}

void CSerialMonitor::SendLine()
{
    const std::string typed = FromQt(m_sendEdit->text());
    if (!IsOpen()) {
        Note("Open a port to send");
        return;
    }
    const std::string bytes = SendLineBytes(typed)
        + std::string(LineEndBytes(static_cast<SerialLineEnd>(m_lineEndBox->currentIndex())));
    if (!bytes.empty()
        && m_serial->write(bytes.data(), static_cast<qint64>(bytes.size()))
            != static_cast<qint64>(bytes.size())) {
        Note("Cannot send: " + FromQt(m_serial->errorString()));
        return;
    }
    m_history.Add(typed);
    m_sendEdit->clear();
}

bool CSerialMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_sendEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        std::optional<std::string> line;
        if (key == Qt::Key_Up)
            line = m_history.Up(FromQt(m_sendEdit->text()));
        else if (key == Qt::Key_Down)
            line = m_history.Down();
        else
            return QWidget::eventFilter(watched, event);
        if (line)
            m_sendEdit->setText(ToQt(*line));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CSerialMonitor::UpdateOpenState()
{
    const bool open = IsOpen();
    const bool busy = open || !m_waitingFor.empty();
    m_openButton->setText(busy ? QStringLiteral("Cl&ose") : QStringLiteral("&Open"));
    for (QWidget *control : { static_cast<QWidget *>(m_portBox), static_cast<QWidget *>(m_baudBox),
             static_cast<QWidget *>(m_dataBitsBox), static_cast<QWidget *>(m_parityBox),
             static_cast<QWidget *>(m_stopBitsBox) })
        control->setEnabled(!busy);
    m_sendButton->setEnabled(open);
}

} // namespace ostrel
