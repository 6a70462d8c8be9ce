#include "app/new_chooser_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ostrel {

CNewChooserDlg::CNewChooserDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAccessibleName(QStringLiteral("New"));
    m_newFile = new QRadioButton(QStringLiteral("New File"));
    m_newFile->setObjectName(QStringLiteral("newFile"));
    m_newProject = new QRadioButton(QStringLiteral("New Project"));
    m_newProject->setObjectName(QStringLiteral("newProject"));
    auto *ok = new QPushButton(QStringLiteral("&OK"));
    ok->setObjectName(QStringLiteral("ok"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    // Return chooses, unless the focus is on Cancel.
    ok->setDefault(true);

    auto *group = new QGroupBox;
    auto *choices = new QVBoxLayout;
    choices->addWidget(m_newFile);
    choices->addWidget(m_newProject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *inside = new QVBoxLayout(group);
    inside->addLayout(choices);
    inside->addSpacing(8);
    inside->addLayout(buttons);
    (new QVBoxLayout(this))->addWidget(group);
    layout()->setContentsMargins(2, 2, 2, 2);

    connect(ok, &QPushButton::clicked, this, &CNewChooserDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CNewChooserDlg::reject);
}

void CNewChooserDlg::showEvent(QShowEvent *event)
{
    m_choice = NewFile;
    m_newFile->setChecked(true);
    m_newFile->setFocus();
    QDialog::showEvent(event);
}

void CNewChooserDlg::accept()
{
    m_choice = m_newProject->isChecked() ? NewProject : NewFile;
    QDialog::accept();
}

} // namespace ostrel
