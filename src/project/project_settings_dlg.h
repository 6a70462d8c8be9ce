#pragma once

#include "project/compiler_options.h"
#include "project/project_record.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace ostrel {

class FileDialogs;
class MessageBoxes;

// "Project Settings": the project's files, its chip, code start and external memory settings,
// and the compiler options that result, rebuilt on every change. Works on its own copy of the
// values; the caller takes them back after OK.
class CProjectSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    // `values.projectPath` names the project in the caption.
    CProjectSettingsDlg(const ProjectRecord &values, FileDialogs &fileDialogs,
        MessageBoxes &messages, QWidget *parent);

    // The values as the controls last showed them, with both option texts.
    const ProjectRecord &Values() const { return m_values; }
    // The options built from those values.
    const CompilerOptions &Options() const { return m_options; }

    // OK: refused while no C file is set or a build setting cannot be used; the message names
    // the setting and the focus goes to its field.
    void accept() override;

private:
    void CreateControls();
    QLayout *CreateFilesArea();
    QLayout *CreateChipArea();
    QLayout *CreateAddressArea();
    QWidget *CreateBuildPage();
    // A box of one folder a line with a button that adds one chosen in the folder dialog.
    QPlainTextEdit *CreateFolderBox(const char *objectName, const QString &label,
        const QString &buttonText, const char *title, QLayout *&area);

    // Controls -> values and values -> controls; a control is set only where it differs, so
    // that setting it raises no change of its own.
    void ReadControls();
    void WriteControls();
    void ShowEntries();
    // The option texts from the current values, shown in the option box.
    void BuildOptionsFromDialog();
    void EnableMegaControls(bool enable);

    void OnChanged();
    void OnChipChosen();
    void OnBrowse();
    void OnAddFiles();
    void OnRemoveFile();
    void OnAddFolder(QPlainTextEdit *box, const char *title);
    // Whether the build settings can be used; shows what is wrong otherwise.
    bool CheckBuildSettings();
    void FocusItem(QPlainTextEdit *box, size_t index);

    FileDialogs &m_fileDialogs;
    MessageBoxes &m_messages;
    ProjectRecord m_values;
    CompilerOptions m_options;
    std::vector<std::string> m_entries;
    bool m_writing = false;

    QListWidget *m_files = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_addFiles = nullptr;
    QPushButton *m_removeFile = nullptr;
    QTabWidget *m_pages = nullptr;
    QWidget *m_buildPage = nullptr;
    QLineEdit *m_clock = nullptr;
    QPlainTextEdit *m_defines = nullptr;
    QPlainTextEdit *m_includeFolders = nullptr;
    QPlainTextEdit *m_librarySources = nullptr;
    QLineEdit *m_extraFlags = nullptr;
    std::array<QRadioButton *, 4> m_chips {};
    QLineEdit *m_codeStart = nullptr;
    QLineEdit *m_extSramStart = nullptr;
    QLineEdit *m_extSramEnd = nullptr;
    QLineEdit *m_stackInit = nullptr;
    QCheckBox *m_sreEnable = nullptr;
    QCheckBox *m_waitState = nullptr;
    QCheckBox *m_includeSource = nullptr;
    QPlainTextEdit *m_optionBox = nullptr;
};

} // namespace ostrel
