#include "editor/view_accessibility.h"

#include "editor/quorlen_view.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace ostrel {

namespace {

QAccessibleInterface *ViewAccessibility(const QString &, QObject *object)
{
    if (QAccessible::isActive())
        return nullptr; // the editor's own object, with the text
    if (auto *view = qobject_cast<CQuorlenView *>(object))
        return new QAccessibleWidget(view, QAccessible::EditableText);
    return nullptr;
}

} // namespace

void InstallViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ViewAccessibility);
        return true;
    }();
    (void)installed;
}

void ChooseChangeNotices(QsciScintillaBase &editor, bool forScreenReaders)
{
    using Q = QsciScintillaBase;
    constexpr long kAll = Q::SC_MODEVENTMASKALL;
    // The editor sends a notice when any bit of its type is in the mask, and the insertions and
    // deletions carry the flags (who performed them, undo steps) beside their type: those go too.
    constexpr long kTextEvents = Q::SC_MOD_INSERTTEXT | Q::SC_MOD_DELETETEXT | Q::SC_PERFORMED_USER
        | Q::SC_PERFORMED_UNDO | Q::SC_PERFORMED_REDO | Q::SC_MULTISTEPUNDOREDO
        | Q::SC_LASTSTEPINUNDOREDO | Q::SC_MULTILINEUNDOREDO | Q::SC_STARTACTION;
    const long mask = forScreenReaders && QAccessible::isActive() ? kAll : kAll & ~kTextEvents;
    if (editor.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK) != mask)
        editor.SendScintilla(
            QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
}

} // namespace ostrel
