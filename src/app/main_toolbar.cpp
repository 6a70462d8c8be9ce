#include "app/main_toolbar.h"

#include "app/command_actions.h"
#include "res/resources.h"

#include <QComboBox>
#include <QFont>

namespace ostrel {

CMainToolbar::CMainToolbar(const CommandActions &actions, QWidget *parent)
    : QToolBar(QStringLiteral("Toolbar"), parent)
{
    setObjectName(QStringLiteral("toolbar"));
    setIconSize(QSize(18, 16));
    setMovable(true);
    setFloatable(true);
    setAllowedAreas(Qt::AllToolBarAreas);

    const ToolbarResource *toolbar = GetToolbarResource(kMainResourceId);
    const std::vector<uint16_t> buttons = toolbar ? toolbar->buttons : std::vector<uint16_t> {};
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (i == 0 && buttons[i] == 0) {
            addWidget(MakeProjectBox());
        } else if (i == 1 && buttons[i] == 0) {
            auto *gap = new QWidget(this);
            gap->setFixedWidth(12);
            addWidget(gap);
        } else if (buttons[i] == 0) {
            addSeparator();
        } else if (QAction *action = actions.Action(buttons[i])) {
            addAction(action);
        }
    }
}

QComboBox *CMainToolbar::MakeProjectBox()
{
    // The project box holds one entry; choosing it does nothing.
    m_projectBox = new QComboBox(this);
    m_projectBox->setObjectName(QStringLiteral("projectBox"));
    m_projectBox->setAccessibleName(QStringLiteral("Project"));
    m_projectBox->setProperty("controlId", ToUint(CommandId::InterruptMasks));
    m_projectBox->setFixedWidth(100);
    // A small sans-serif face (10 pixels high, normal weight) so that the project name fits
    // the narrow box.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    font.setWeight(QFont::Normal);
    m_projectBox->setFont(font);
    m_projectBox->setEditable(false);
    m_projectBox->setMaxVisibleItems(5);
    return m_projectBox;
}

void CMainToolbar::SetProjectText(const QString &text)
{
    if (!m_projectBox || (m_projectBox->count() == 1 && m_projectBox->itemText(0) == text))
        return;
    m_projectBox->clear();
    m_projectBox->addItem(text);
    m_projectBox->setCurrentIndex(0);
}

} // namespace ostrel
