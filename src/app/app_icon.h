#pragma once

class QIcon;

namespace ostrel {

// Ostrel's own icon in every size it is drawn at: main window, dialogs, About box.
const QIcon &AppIcon();

} // namespace ostrel
