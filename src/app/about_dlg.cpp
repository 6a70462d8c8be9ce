#include "app/about_dlg.h"

#include "app/app_icon.h"
#include "platform/qt_services.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace ostrel {

CAboutDlg::CAboutDlg(const std::string &versionLine, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Ostrel"));
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(AppIcon().pixmap(32, 32));
    auto *version = new QLabel(ToQt(versionLine).trimmed(), this);
    version->setObjectName(QStringLiteral("version"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(version, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

} // namespace ostrel
