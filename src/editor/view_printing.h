#pragma once

namespace ostrel {

class CQuorlenView;

enum class PrintMode { WithDialog, Direct, Preview };

// Prints the view's text under its document's title, through the print dialog, straight to
// the printer, or in the preview. A print that fails is told in a message box.
void PrintView(CQuorlenView &view, PrintMode mode);

} // namespace ostrel
