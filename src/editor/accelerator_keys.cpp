#include "editor/accelerator_keys.h"

#include "res/resources.h"

namespace ostrel {

QKeySequence ToKeySequence(const Accelerator &accelerator)
{
    int key = 0;
    switch (accelerator.key) {
    case VirtualKey::Backspace:
        key = Qt::Key_Backspace;
        break;
    case VirtualKey::Enter:
        key = Qt::Key_Return;
        break;
    case VirtualKey::Escape:
        key = Qt::Key_Escape;
        break;
    case VirtualKey::Insert:
        key = Qt::Key_Insert;
        break;
    case VirtualKey::Delete:
        key = Qt::Key_Delete;
        break;
    case VirtualKey::F1:
    case VirtualKey::F3:
    case VirtualKey::F6:
    case VirtualKey::F9:
        key = Qt::Key_F1 + (static_cast<int>(accelerator.key) - static_cast<int>(VirtualKey::F1));
        break;
    default: // letters: the virtual key is the capital letter
        key = Qt::Key_A + (static_cast<int>(accelerator.key) - 'A');
        break;
    }
    int modifiers = 0;
    if (accelerator.modifiers & KeyModifier::Control)
        modifiers |= Qt::CTRL;
    if (accelerator.modifiers & KeyModifier::Shift)
        modifiers |= Qt::SHIFT;
    if (accelerator.modifiers & KeyModifier::Alt)
        modifiers |= Qt::ALT;
    return QKeySequence(key | modifiers);
}

} // namespace ostrel
