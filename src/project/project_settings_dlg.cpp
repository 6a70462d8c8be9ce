#include "project/project_settings_dlg.h"

#include "framework/path_parts.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"
#include "project/compiler_options.h"
#include "project/extension_checks.h"
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
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace ostrel {

namespace {

// Every kind the project takes, in any letter case, first; then each kind alone.
const char kBrowseFilter[] =
    "Project Files (*.c;*.asm;*.s;*.a;*.lib)|*.c;*.asm;*.s;*.a;*.lib|C File (*.C)|*.C|"
    "ASM Files (*.ASM;*.S)|*.ASM;*.S|Lib Files (*.LIB;*.A)|*.LIB;*.A||";

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

// A text box that asks for room for a few lines, not a page, so that the dialog opens small
// enough for an 800x600 screen; it grows with the dialog.
class ItemsBox : public QPlainTextEdit
{
public:
    explicit ItemsBox(int lines = 4)
        : m_lines(lines)
    {
    }
    QSize sizeHint() const override
    {
        const int margins = 2 * frameWidth() + 2 * static_cast<int>(document()->documentMargin());
        return { QPlainTextEdit::sizeHint().width(),
            m_lines * fontMetrics().lineSpacing() + margins };
    }

private:
    int m_lines;
};

QString LinesText(const std::vector<std::string> &items)
{
    return ToQt(JoinLines(items));
}

std::vector<std::string> Lines(const QPlainTextEdit *box)
{
    return SplitLines(FromQt(box->toPlainText()));
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
    auto *filesPage = new QWidget;
    auto *top = new QHBoxLayout(filesPage);
    top->addLayout(CreateFilesArea(), 1);
    auto *settings = new QVBoxLayout;
    settings->addLayout(CreateChipArea());
    settings->addLayout(CreateAddressArea());
    settings->addStretch(1);
    top->addLayout(settings);
    m_pages = Named(new QTabWidget, "pages", QStringLiteral("Settings pages"));
    m_pages->addTab(filesPage, QStringLiteral("Files and Chip"));
    m_buildPage = CreateBuildPage();
    m_pages->addTab(m_buildPage, QStringLiteral("Build"));

    auto *optionsGroup = new QGroupBox(QStringLiteral("Compiler command line options"));
    m_optionBox =
        Named(new ItemsBox(6), "options", QStringLiteral("Compiler command line options"));
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
    layout->addWidget(m_pages, 1);
    layout->addWidget(optionsGroup);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CProjectSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CProjectSettingsDlg::reject);
    // Help has nothing to show.
    connect(m_browse, &QPushButton::clicked, this, &CProjectSettingsDlg::OnBrowse);
    connect(m_addFiles, &QPushButton::clicked, this, &CProjectSettingsDlg::OnAddFiles);
    connect(m_removeFile, &QPushButton::clicked, this, &CProjectSettingsDlg::OnRemoveFile);
    // The state change, not the click: a screen reader's toggle action checks a chip too.
    for (QRadioButton *chip : m_chips)
        connect(chip, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked && !m_writing)
                OnChipChosen();
        });
    for (QCheckBox *box : { m_includeSource, m_waitState, m_sreEnable })
        connect(box, &QCheckBox::clicked, this, &CProjectSettingsDlg::OnChanged);
    for (QLineEdit *box :
        { m_codeStart, m_extSramStart, m_extSramEnd, m_stackInit, m_clock, m_extraFlags })
        connect(box, &QLineEdit::textChanged, this, &CProjectSettingsDlg::OnChanged);
    for (QPlainTextEdit *box : { m_defines, m_includeFolders, m_librarySources })
        connect(box, &QPlainTextEdit::textChanged, this, &CProjectSettingsDlg::OnChanged);
}

QLayout *CProjectSettingsDlg::CreateFilesArea()
{
    m_files = Named(new QListWidget, "files", QStringLiteral("Project files"));
    // Long paths are not cut: the list scrolls sideways as far as the longest entry.
    m_files->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_files->setMinimumWidth(260);
    m_browse =
        Named(new QPushButton(QStringLiteral("&Browse")), "browse", QStringLiteral("Browse"));
    m_browse->setToolTip(
        QStringLiteral("Sets the project's C, assembler or library file, in place of the one "
                       "of that kind"));
    m_addFiles = Named(
        new QPushButton(QStringLiteral("Add &Files...")), "addFiles", QStringLiteral("Add Files"));
    m_addFiles->setToolTip(QStringLiteral("Adds one or more C, assembler or library files"));
    m_removeFile = Named(new QPushButton(QStringLiteral("&Remove File")), "removeFile",
        QStringLiteral("Remove File"));
    for (QPushButton *button : { m_browse, m_addFiles, m_removeFile })
        button->setAutoDefault(false);
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto *label = new QLabel(QStringLiteral("Add Files To Project :"));
    label->setBuddy(m_files);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_browse);
    buttons->addWidget(m_addFiles);
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

QPlainTextEdit *CProjectSettingsDlg::CreateFolderBox(const char *objectName, const QString &label,
    const QString &buttonText, const char *title, QLayout *&area)
{
    auto *box = Named(new ItemsBox, objectName, label);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setTabChangesFocus(true);
    auto *add = Named(new QPushButton(buttonText), (std::string(objectName) + "Add").c_str(),
        QString(buttonText).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this, box, title] {
        OnAddFolder(box, title);
    });
    auto *row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(add, 0, Qt::AlignTop);
    area = row;
    return box;
}

QWidget *CProjectSettingsDlg::CreateBuildPage()
{
    const ProjectExtension &extension = m_values.extension;
    const QString clockLabel = QStringLiteral("Clock frequency (Hz)");
    m_clock = Named(new QLineEdit(ToQt(extension.clockHz)), "clockHz", clockLabel);
    m_clock->setPlaceholderText(QStringLiteral("for example 8000000; sets F_CPU"));
    const QString definesLabel = QStringLiteral("Defines, one a line (NAME or NAME=value)");
    m_defines = Named(new ItemsBox, "defines", definesLabel);
    m_defines->setPlainText(LinesText(extension.defines));
    m_defines->setTabChangesFocus(true);
    QLayout *includeArea = nullptr;
    m_includeFolders = CreateFolderBox("includeFolders", QStringLiteral("Include folders"),
        QStringLiteral("Add &Include Folder..."), "Include Folder", includeArea);
    m_includeFolders->setPlainText(LinesText(extension.includeFolders));
    QLayout *libraryArea = nullptr;
    m_librarySources = CreateFolderBox("librarySources", QStringLiteral("Library source folders"),
        QStringLiteral("Add &Library Folder..."), "Library Source Folder", libraryArea);
    m_librarySources->setPlainText(LinesText(extension.librarySources));
    const QString flagsLabel = QStringLiteral("Extra compiler flags");
    m_extraFlags = Named(new QLineEdit(ToQt(extension.extraFlags)), "extraFlags", flagsLabel);
    m_extraFlags->setPlaceholderText(QStringLiteral("separated by blanks, for example -Os -g"));

    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("&Clock frequency (Hz):"), m_clock);
    form->addRow(QStringLiteral("&Defines (one a line):"), m_defines);
    form->addRow(QStringLiteral("Include folders:"), includeArea);
    form->addRow(QStringLiteral("Library source folders:"), libraryArea);
    form->addRow(QStringLiteral("E&xtra compiler flags:"), m_extraFlags);
    return page;
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
    ProjectExtension &extension = m_values.extension;
    const std::vector<std::string> clock = SplitLines(FromQt(m_clock->text()));
    extension.clockHz = clock.empty() ? std::string() : clock.front();
    extension.defines = Lines(m_defines);
    extension.includeFolders = Lines(m_includeFolders);
    extension.librarySources = Lines(m_librarySources);
    extension.extraFlags = FromQt(m_extraFlags->text());
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

void CProjectSettingsDlg::OnAddFiles()
{
    ReadControls();
    FileDialogRequest request;
    request.title = "Add Files";
    request.filter = kBrowseFilter;
    std::vector<std::string> refused;
    for (const std::string &path : m_fileDialogs.OpenFiles(request))
        if (AddMoreProjectFile(m_values, m_entries, path) == AddFileResult::NotAProjectFile)
            refused.push_back(path);
    ShowEntries();
    m_removeFile->setEnabled(!m_entries.empty());
    BuildOptionsFromDialog();
    if (!refused.empty())
        m_messages.Warn("Please add valid file name\n\nNot added:\n" + JoinLines(refused));
}

void CProjectSettingsDlg::OnAddFolder(QPlainTextEdit *box, const char *title)
{
    const auto folder = m_fileDialogs.ChooseFolder(title);
    if (!folder)
        return;
    std::vector<std::string> folders = Lines(box);
    folders.push_back(*folder);
    // The change notice rebuilds the options.
    box->setPlainText(LinesText(folders));
}

void CProjectSettingsDlg::OnRemoveFile()
{
    ReadControls();
    std::vector<size_t> rows;
    for (const QListWidgetItem *item : m_files->selectedItems())
        rows.push_back(static_cast<size_t>(m_files->row(item)));
    if (rows.empty()) {
        m_messages.Warn("Select the item first");
        return;
    }
    // From the last row up, so that the rows still to go keep their numbers.
    std::sort(rows.rbegin(), rows.rend());
    for (size_t row : rows)
        RemoveProjectFile(m_values, m_entries, row);
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
    if (!CheckBuildSettings())
        return;
    QDialog::accept();
}

bool CProjectSettingsDlg::CheckBuildSettings()
{
    // A folder typed without its full path is one inside the project's folder.
    ProjectExtension &extension = m_values.extension;
    const std::string projectDir = DirectoryOf(m_values.projectPath);
    for (auto *folders : { &extension.includeFolders, &extension.librarySources })
        for (std::string &folder : *folders)
            folder = LoadedPath(folder, projectDir);
    const auto problem = CheckExtension(extension, FolderExists);
    if (!problem) {
        BuildOptionsFromDialog();
        return true;
    }
    m_messages.Warn(problem->message);
    m_pages->setCurrentWidget(m_buildPage);
    switch (problem->field) {
    case ExtensionProblem::Clock:
        m_clock->setFocus();
        m_clock->selectAll();
        break;
    case ExtensionProblem::Define:
        FocusItem(m_defines, problem->index);
        break;
    case ExtensionProblem::IncludeFolder:
        FocusItem(m_includeFolders, problem->index);
        break;
    case ExtensionProblem::LibrarySource:
        FocusItem(m_librarySources, problem->index);
        break;
    }
    return false;
}

// Selects the line of item `index`, counting only the lines that hold an item.
void CProjectSettingsDlg::FocusItem(QPlainTextEdit *box, size_t index)
{
    box->setFocus();
    size_t seen = 0;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed().isEmpty())
            continue;
        if (seen++ == index) {
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            box->setTextCursor(cursor);
            return;
        }
    }
}

} // namespace ostrel
