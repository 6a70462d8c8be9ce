#include "platform/qt_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

namespace ostrel {

QString ToQt(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

QWidget *QtMessageBoxes::Owner() const
{
    return m_owner ? m_owner.data() : QApplication::activeWindow();
}

MessageAnswer QtMessageBoxes::Show(const MessageRequest &request)
{
    QMessageBox box(ToQtIcon(request.icon), ToQt(request.caption), ToQt(request.text),
        ToQtButtons(request.buttons), request.ownedByMainWindow ? Owner() : nullptr);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return request.buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel
                                                              : MessageAnswer::Ok;
    }
}

QStringList ToQtNameFilters(const std::string &filter)
{
    const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty())
            break;
        // The description may already show its patterns in parentheses; show them once.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern;
            if (pattern.toUpper() != pattern && pattern != QStringLiteral("*.*"))
                patterns << pattern.toUpper();
        }
        if (patterns.contains(QStringLiteral("*.*")))
            patterns = QStringList { QStringLiteral("*") };
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                + QLatin1Char(')');
    }
    return filters;
}

namespace {

std::optional<std::string> RunFileDialog(
    QWidget *owner, const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, ToQt(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave || !request.mustExist
            ? QFileDialog::AnyFile
            : QFileDialog::ExistingFile);
    dialog.setNameFilters(ToQtNameFilters(request.filter));
    dialog.setDefaultSuffix(ToQt(request.defaultExtension));
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.initialName.empty())
        dialog.selectFile(ToQt(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQt(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<std::string> QtFileDialogs::OpenFile(const FileDialogRequest &request)
{
    return RunFileDialog(m_owner, request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtFileDialogs::SaveFile(const FileDialogRequest &request)
{
    return RunFileDialog(m_owner, request, QFileDialog::AcceptSave);
}

std::vector<std::string> QtFileDialogs::OpenFiles(const FileDialogRequest &request)
{
    QFileDialog dialog(m_owner, ToQt(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(ToQtNameFilters(request.filter));
    std::vector<std::string> chosen;
    if (dialog.exec() == QDialog::Accepted)
        for (const QString &file : dialog.selectedFiles())
            chosen.push_back(FromQt(file));
    return chosen;
}

std::optional<std::string> QtFileDialogs::ChooseFolder(const std::string &title)
{
    QFileDialog dialog(m_owner, ToQt(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQt(dialog.selectedFiles().constFirst());
}

namespace {

class TimerWait : public PendingWait
{
public:
    QTimer timer;
};

} // namespace

std::unique_ptr<PendingWait> QtSleeper::After(int milliseconds, std::function<void()> then)
{
    auto wait = std::make_unique<TimerWait>();
    wait->timer.setSingleShot(true);
    QObject::connect(&wait->timer, &QTimer::timeout, [then = std::move(then)] {
        then();
    });
    wait->timer.start(milliseconds);
    return wait;
}

QtProfile::QtProfile()
    : m_settings(QStringLiteral("TREMBLAR's ZILDOR"), QStringLiteral("Ostrel"))
{
}

std::string QtProfile::GetString(
    const std::string &section, const std::string &key, const std::string &fallback) const
{
    const QVariant value = m_settings.value(ToQt(section + "/" + key));
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    return FromQt(value.toString());
}

void QtProfile::WriteString(
    const std::string &section, const std::string &key, const std::string &value)
{
    // Text that the system's encoding cannot carry (a file name that is no UTF-8) is kept as
    // its bytes; anything else as text, as it always was.
    const QString text = ToQt(value);
    if (FromQt(text) == value)
        m_settings.setValue(ToQt(section + "/" + key), text);
    else
        m_settings.setValue(ToQt(section + "/" + key),
            QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

int QtProfile::GetInt(const std::string &section, const std::string &key, int fallback) const
{
    bool ok = false;
    const int value = m_settings.value(ToQt(section + "/" + key)).toInt(&ok);
    return ok ? value : fallback;
}

void QtProfile::WriteInt(const std::string &section, const std::string &key, int value)
{
    m_settings.setValue(ToQt(section + "/" + key), value);
}

QtClipboard::QtClipboard()
{
    QClipboard *clipboard = QApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, &m_watcher, [this] {
        Follow();
    });
    Follow();
}

void QtClipboard::Follow()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    m_hasText = data && data->hasText();
}

std::vector<std::string> QtClipboard::TextFormats() const
{
    std::vector<std::string> formats;
    if (const QMimeData *data = QApplication::clipboard()->mimeData())
        for (const QString &format : data->formats())
            if (format.startsWith(QLatin1String("text/")))
                formats.push_back(format.toStdString());
    return formats;
}

std::string QtClipboard::TextOfFormat(const std::string &format) const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data)
        return {};
    const QByteArray bytes = data->data(QString::fromStdString(format));
    // Text in any character set the format names comes back as UTF-8.
    const QString text = format == "text/plain" ? data->text() : QString::fromUtf8(bytes);
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

void QtClipboard::SetText(const std::string &text)
{
    QApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string QtClipboard::Text() const
{
    const QByteArray utf8 = QApplication::clipboard()->text().toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

} // namespace ostrel
