#include "editor/find_replace_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ostrel {

CFindReplaceDlg::CFindReplaceDlg(bool replace, const SearchState &state, QWidget *owner)
    : QDialog(owner)
{
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *fields = new QGridLayout;
    m_findEdit = new QLineEdit(QString::fromStdString(state.findWhat));
    auto *findLabel = new QLabel(tr("Fi&nd what:"));
    findLabel->setBuddy(m_findEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findEdit, 0, 1);
    if (replace) {
        m_replaceEdit = new QLineEdit(QString::fromStdString(state.replaceWith));
        auto *replaceLabel = new QLabel(tr("Re&place with:"));
        replaceLabel->setBuddy(m_replaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_replaceEdit, 1, 1);
    }

    m_wholeWord = new QCheckBox(tr("Match &whole word only"));
    m_wholeWord->setChecked(state.wholeWord);
    m_matchCase = new QCheckBox(tr("Match &case"));
    m_matchCase->setChecked(state.matchCase);
    auto *options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    if (!replace) {
        auto *direction = new QGroupBox(tr("Direction"));
        m_up = new QRadioButton(tr("&Up"));
        auto *down = new QRadioButton(tr("&Down"));
        (state.searchDown ? down : m_up)->setChecked(true);
        auto *directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(m_up);
        directionLayout->addWidget(down);
        lower->addWidget(direction);
    }
    fields->addLayout(lower, replace ? 2 : 1, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    m_findNext = new QPushButton(tr("&Find Next"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    connect(m_findNext, &QPushButton::clicked, this, &CFindReplaceDlg::findNextRequested);
    if (replace) {
        m_replace = new QPushButton(tr("&Replace"));
        m_replaceAll = new QPushButton(tr("Replace &All"));
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
        connect(m_replace, &QPushButton::clicked, this, &CFindReplaceDlg::replaceRequested);
        connect(m_replaceAll, &QPushButton::clicked, this, &CFindReplaceDlg::replaceAllRequested);
    }
    auto *cancel = new QPushButton(tr("Cancel"));
    buttons->addWidget(cancel);
    buttons->addStretch();
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(m_findEdit, &QLineEdit::textChanged, this, &CFindReplaceDlg::UpdateButtons);
    UpdateButtons();
}

SearchState CFindReplaceDlg::Settings() const
{
    SearchState state;
    state.findWhat = m_findEdit->text().toStdString();
    if (m_replaceEdit)
        state.replaceWith = m_replaceEdit->text().toStdString();
    state.matchCase = m_matchCase->isChecked();
    state.wholeWord = m_wholeWord->isChecked();
    state.searchDown = !m_up || !m_up->isChecked();
    return state;
}

void CFindReplaceDlg::SetFindWhat(const QString &text)
{
    m_findEdit->setText(text);
    m_findEdit->selectAll();
    m_findEdit->setFocus();
}

void CFindReplaceDlg::UpdateButtons()
{
    // Nothing to look for: the buttons that search stay greyed.
    const bool any = !m_findEdit->text().isEmpty();
    m_findNext->setEnabled(any);
    if (m_replace) {
        m_replace->setEnabled(any);
        m_replaceAll->setEnabled(any);
    }
}

} // namespace ostrel
