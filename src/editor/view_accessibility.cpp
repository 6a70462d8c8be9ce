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

} // namespace ostrel
