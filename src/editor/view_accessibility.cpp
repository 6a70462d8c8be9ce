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
    constexpr long kAll = QsciScintillaBase::SC_MODEVENTMASKALL;
    constexpr long kTextEvents =
        QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT;
    const long mask = forScreenReaders && QAccessible::isActive() ? kAll : kAll & ~kTextEvents;
    if (editor.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK) != mask)
        editor.SendScintilla(
            QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
}

} // namespace ostrel
