#pragma once

#include <QDialog>

#include <string>

namespace ostrel {

// "About Ostrel": the program icon, one version line and OK.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    CAboutDlg(const std::string &versionLine, QWidget *parent = nullptr);
};

} // namespace ostrel
