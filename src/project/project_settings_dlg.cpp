#include "project/project_settings_dlg.h"

#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"
#include "project/compiler_options.h"
#include "project/project_files.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

const char kBrowseFilter[] = "C File (*.C)|*.C|ASM Files (*.ASM)|*.ASM|Lib Files (*.LIB)|*.LIB||";

template <typename T> T *Named(T *widget, const char *objectName, const QString &accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLineEdit *CreateAddressBox(const char *objectName, const QString &label)
{
    auto *box = Named(new QLineEdit, objectName, label);
    box->setMaxLength(4);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("FFFFF")) + 12);
    return box;
}

void SetText(QLineEdit *box, const std::string &text)
{
    const QString shown = ToQt(text);
    if (box->text() != shown)
        box->setText(shown);
}

void SetChecked(QAbstractButton *button, int32_t value)
{
    if (button->isChecked() != (value != 0))
        button->setChecked(value != 0);
}

QString DisplayText(const std::string &displayOptions)
{
    return ToQt(displayOptions).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

CProjectSettingsDlg::CProjectSettingsDlg(
    const ProjectRecord &values, FileDialogs &fileDialogs, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent)
    , m_fileDialogs(fileDialogs)
    , m_messages(messages)
    , m_values(values)
{
    CreateControls();
    BuildOptionsFromDialog();
    setWindowTitle(ToQt(m_values.projectPath) + QStringLiteral(" : Settings"));
    EnableMegaControls(m_values.cpuType == CpuAtmega103);
    m_entries = ProjectFileEntries(m_values);
    m_removeFile->setEnabled(!m_entries.empty());
    ShowEntries();
}

void CProjectSettingsDlg::CreateControls()
{
    auto *top = new QHBoxLayout;
    top->addLayout(CreateFilesArea(), 1);
    auto *settings = new QVBoxLayout;
    settings->addLayout(CreateChipArea());
    settings->addLayout(CreateAddressArea());
    settings->addStretch(1);
    top->addLayout(settings);

    auto *optionsGroup = new QGroupBox(QStringLiteral("Compiler command line options"));
    m_optionBox =
        Named(new QPlainTextEdit, "options", QStringLiteral("Compiler command line options"));
    m_optionBox->setReadOnly(true);
    m_optionBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(optionsGroup))->addWidget(m_optionBox);

    auto *ok = Named(new QPushButton(QStringLiteral("OK")), "ok", QStringLiteral("OK"));
    ok->setDefault(true);
    auto *cancel =
        Named(new QPushButton(QStringLiteral("Cancel")), "cancel", QStringLiteral("Cancel"));
    auto *help = Named(new QPushButton(QStringLiteral("&Help")), "help", QStringLiteral("Help"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(optionsGroup);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CProjectSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CProjectSettingsDlg::reject);
    // Help has nothing to show.
    connect(m_browse, &QPushButton::clicked, this, &CProjectSettingsDlg::OnBrowse);
    connect(m_removeFile, &QPushButton::clicked, this, &CProjectSettingsDlg::OnRemoveFile);
    // The state change, not the click: a screen reader's toggle action checks a chip too.
    for (QRadioButton *chip : m_chips)
        connect(chip, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked && !m_writing)
                OnChipChosen();
        });
    for (QCheckBox *box : { m_includeSource, m_waitState, m_sreEnable })
        connect(box, &QCheckBox::clicked, this, &CProjectSettingsDlg::OnChanged);
    for (QLineEdit *box : { m_codeStart, m_extSramStart, m_extSramEnd, m_stackInit })
        connect(box, &QLineEdit::textChanged, this, &CProjectSettingsDlg::OnChanged);
}

QLayout *CProjectSettingsDlg::CreateFilesArea()
{
    m_files = Named(new QListWidget, "files", QStringLiteral("Project files"));
    // Long paths are not cut: the list scrolls sideways as far as the longest entry.
    m_files->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_files->setMinimumWidth(260);
    m_browse =
        Named(new QPushButton(QStringLiteral("&Browse")), "browse", QStringLiteral("Browse"));
    m_removeFile = Named(new QPushButton(QStringLiteral("&Remove File")), "removeFile",
        QStringLiteral("Remove File"));
    for (QPushButton *button : { m_browse, m_removeFile })
        button->setAutoDefault(false);

    auto *label = new QLabel(QStringLiteral("Add Files To Project :"));
    label->setBuddy(m_files);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_browse);
    buttons->addWidget(m_removeFile);
    buttons->addStretch(1);
    auto *area = new QVBoxLayout;
    area->addWidget(label);
    area->addWidget(m_files, 1);
    area->addLayout(buttons);
    return area;
}

QLayout *CProjectSettingsDlg::CreateChipArea()
{
    const char *names[] = { "chip2313", "chip4414", "chip8515", "chipMega" };
    const QString labels[] = { QStringLiteral("2313"), QStringLiteral("4414"),
        QStringLiteral("8515"), QStringLiteral("ATmega603/103") };
    auto *group = new QGroupBox(QStringLiteral("CPU Type AT90S*"));
    auto *grid = new QGridLayout(group);
    for (size_t i = 0; i < m_chips.size(); ++i) {
        m_chips[i] = Named(new QRadioButton(labels[i]), names[i], labels[i]);
        grid->addWidget(m_chips[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    auto *area = new QVBoxLayout;
    area->addWidget(group);
    return area;
}

QLayout *CProjectSettingsDlg::CreateAddressArea()
{
    const QString codeLabel = QStringLiteral("Code Start Address (Hex)");
    const QString startLabel = QStringLiteral("External SRAM Start Address (Hex)");
    const QString endLabel = QStringLiteral("External SRAM End Address (Hex)");
    const QString stackLabel = QStringLiteral("Initialize SP to this Address (Hex)");
    m_codeStart = CreateAddressBox("codeStart", codeLabel);
    m_extSramStart = CreateAddressBox("extSramStart", startLabel);
    m_extSramEnd = CreateAddressBox("extSramEnd", endLabel);
    m_stackInit = CreateAddressBox("stackInit", stackLabel);
    const QString sreLabel = QStringLiteral("Set SRE (To access external SRAM)");
    const QString waitLabel = QStringLiteral("Enable one extra Wait State");
    const QString sourceLabel = QStringLiteral("Include source line in output ASM file");
    m_sreEnable = Named(new QCheckBox(sreLabel), "sreEnable", sreLabel);
    m_waitState = Named(new QCheckBox(waitLabel), "waitState", waitLabel);
    m_includeSource = Named(new QCheckBox(sourceLabel), "includeSource", sourceLabel);

    auto *form = new QFormLayout;
    form->addRow(codeLabel, m_codeStart);
    form->addRow(startLabel, m_extSramStart);
    form->addRow(endLabel, m_extSramEnd);
    form->addRow(stackLabel, m_stackInit);
    auto *area = new QVBoxLayout;
    area->addLayout(form);
    area->addWidget(m_sreEnable);
    area->addWidget(m_waitState);
    area->addWidget(m_includeSource);
    return area;
}

void CProjectSettingsDlg::ReadControls()
{
    for (size_t i = 0; i < m_chips.size(); ++i)
        if (m_chips[i]->isChecked())
            m_values.cpuType = static_cast<int32_t>(i);
    // With no chip checked (a number from the file that names none) the number stays.
    m_values.codeStart = FromQt(m_codeStart->text());
    m_values.extSramStart = FromQt(m_extSramStart->text());
    m_values.extSramEnd = FromQt(m_extSramEnd->text());
    m_values.stackInit = FromQt(m_stackInit->text());
    m_values.sreEnable = m_sreEnable->isChecked() ? 1 : 0;
    m_values.waitState = m_waitState->isChecked() ? 1 : 0;
    m_values.includeSource = m_includeSource->isChecked() ? 1 : 0;
}

void CProjectSettingsDlg::WriteControls()
{
    m_writing = true;
    for (size_t i = 0; i < m_chips.size(); ++i)
        if (m_values.cpuType == static_cast<int32_t>(i))
            SetChecked(m_chips[i], 1);
    SetText(m_codeStart, m_values.codeStart);
    SetText(m_extSramStart, m_values.extSramStart);
    SetText(m_extSramEnd, m_values.extSramEnd);
    SetText(m_stackInit, m_values.stackInit);
    SetChecked(m_sreEnable, m_values.sreEnable);
    SetChecked(m_waitState, m_values.waitState);
    SetChecked(m_includeSource, m_values.includeSource);
    const QString options = DisplayText(m_values.displayOptions);
    if (m_optionBox->toPlainText() != options)
        m_optionBox->setPlainText(options);
    m_writing = false;
}

void CProjectSettingsDlg::ShowEntries()
{
    m_files->clear();
    for (const std::string &entry : m_entries)
        m_files->addItem(ToQt(entry));
}

void CProjectSettingsDlg::BuildOptionsFromDialog()
{
    m_options = ostrel::BuildOptionsFromDialog(m_values);
    ApplyOptions(m_values, m_options);
    WriteControls();
}

void CProjectSettingsDlg::EnableMegaControls(bool enable)
{
    for (QWidget *control : std::initializer_list<QWidget *> {
             m_extSramStart, m_extSramEnd, m_stackInit, m_sreEnable, m_waitState })
        control->setEnabled(enable);
}

void CProjectSettingsDlg::OnChanged()
{
    if (m_writing)
        return;
    ReadControls();
    BuildOptionsFromDialog();
}

void CProjectSettingsDlg::OnChipChosen()
{
    ReadControls();
    BuildOptionsFromDialog();
    EnableMegaControls(m_chips[CpuAtmega103]->isChecked());
}

void CProjectSettingsDlg::OnBrowse()
{
    ReadControls();
    FileDialogRequest request;
    request.title = "Browse";
    request.filter = kBrowseFilter;
    request.defaultExtension = "C";
    request.mustExist = false;
    if (const auto chosen = m_fileDialogs.OpenFile(request)) {
        if (!AddProjectFile(m_values, m_entries, *chosen)) {
            m_messages.Warn("Please add valid file name");
            return;
        }
        ShowEntries();
        m_removeFile->setEnabled(true);
    }
    BuildOptionsFromDialog();
}

void CProjectSettingsDlg::OnRemoveFile()
{
    ReadControls();
    const QList<QListWidgetItem *> selected = m_files->selectedItems();
    if (selected.isEmpty()) {
        m_messages.Warn("Select the item first");
        return;
    }
    RemoveProjectFile(m_values, m_entries, static_cast<size_t>(m_files->row(selected.front())));
    ShowEntries();
    if (m_entries.empty())
        m_removeFile->setEnabled(false);
    BuildOptionsFromDialog();
}

void CProjectSettingsDlg::accept()
{
    ReadControls();
    if (!TrimCFile(m_values)) {
        m_messages.Warn("You must specify C file");
        return;
    }
    QDialog::accept();
}

} // namespace ostrel
