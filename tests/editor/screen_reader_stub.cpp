// usage: screen_reader_stub LOG
// Behaves towards applications as a screen reader does on the accessibility bus: asks the
// registry for the text and caret events, and at every caret move reads the line at the caret
// back from the application that moved it. Writes what it hears and reads to LOG, a line each:
//   insert OFFSET TEXT / delete OFFSET TEXT / line OFFSET TEXT
// (TEXT with \n for line ends), and creates LOG once it listens.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QObject>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr unsigned kLineBoundary = 5; // ATSPI_TEXT_BOUNDARY_LINE_START

QString Escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

class Reader : public QObject
{
    Q_OBJECT

public:
    Reader(QDBusConnection bus, const QString &logPath)
        : m_bus(bus)
        , m_log(logPath)
    {
    }

    bool Listen()
    {
        for (const char *event : { "object:text-changed", "object:text-caret-moved",
                 "object:text-selection-changed", "object:state-changed:focused", "focus:" }) {
            QDBusMessage call =
                QDBusMessage::createMethodCall(QStringLiteral("org.a11y.atspi.Registry"),
                    QStringLiteral("/org/a11y/atspi/registry"),
                    QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"));
            call << QString::fromLatin1(event);
            if (m_bus.call(call).type() == QDBusMessage::ErrorMessage)
                return false;
        }
        const QString object = QStringLiteral("org.a11y.atspi.Event.Object");
        return m_bus.connect({}, {}, object, QStringLiteral("TextChanged"), this,
                   SLOT(TextChanged(QDBusMessage)))
            && m_bus.connect({}, {}, object, QStringLiteral("TextCaretMoved"), this,
                SLOT(CaretMoved(QDBusMessage)))
            && m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }

private slots:
    void TextChanged(const QDBusMessage &event)
    {
        const QVariantList args = event.arguments();
        if (args.size() < 4)
            return;
        const QString text = args.at(3).value<QDBusVariant>().variant().toString();
        Write(args.at(0).toString(), args.at(1).toInt(), text);
    }

    void CaretMoved(const QDBusMessage &event)
    {
        const QVariantList args = event.arguments();
        if (args.size() < 2)
            return;
        const int offset = args.at(1).toInt();
        QDBusMessage call = QDBusMessage::createMethodCall(event.service(), event.path(),
            QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetTextAtOffset"));
        call << offset << kLineBoundary;
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, offset](QDBusPendingCallWatcher *reply) {
                const QDBusPendingReply<QString, int, int> line = *reply;
                if (line.isValid())
                    Write(QStringLiteral("line"), offset, line.argumentAt<0>());
                reply->deleteLater();
            });
    }

private:
    void Write(const QString &what, int offset, const QString &text)
    {
        m_log.write(QStringLiteral("%1 %2 %3\n").arg(what).arg(offset).arg(Escaped(text)).toUtf8());
    }

    QDBusConnection m_bus;
    QFile m_log;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screen_reader_stub LOG\n");
        return 2;
    }
    const QDBusMessage address = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
    if (address.type() != QDBusMessage::ReplyMessage || address.arguments().isEmpty()) {
        std::fprintf(stderr, "screen_reader_stub: no accessibility bus\n");
        return 1;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(
        address.arguments().first().toString(), QStringLiteral("a11y"));
    Reader reader(bus, QString::fromLocal8Bit(argv[1]));
    if (!bus.isConnected() || !reader.Listen()) {
        std::fprintf(stderr, "screen_reader_stub: could not listen on the accessibility bus\n");
        return 1;
    }
    return application.exec();
}

#include "screen_reader_stub.moc"
