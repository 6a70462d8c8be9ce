#include "editor/view_printing.h"

#include "editor/document_host.h"
#include "editor/quorlen_doc.h"
#include "editor/quorlen_view.h"
#include "platform/message_boxes.h"
#include "platform/printing.h"

#include <string>

namespace ostrel {

namespace {

// The title at the head of each page: the document's title without the mark of unsaved
// changes.
std::string PrintTitle(const std::string &documentTitle)
{
    if (!documentTitle.empty() && documentTitle.back() == '*')
        return documentTitle.substr(0, documentTitle.size() - 1);
    return documentTitle;
}

} // namespace

void PrintView(CQuorlenView &view, PrintMode mode)
{
    const DocumentServices &services = view.GetDocument()->Services();
    const std::string title = PrintTitle(view.GetDocument()->Title());
    if (mode == PrintMode::Preview) {
        services.printing.Preview(view, title);
        return;
    }
    if (services.printing.Print(view, title, mode == PrintMode::WithDialog) != PrintResult::Failed)
        return;
    const std::string reason = services.printing.FailureReason();
    services.messages.Warn("The document could not be printed.\n"
        + (reason.empty() ? std::string("Check that a printer is set up.") : reason));
}

} // namespace ostrel
