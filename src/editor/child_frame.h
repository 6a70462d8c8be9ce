#pragma once

#include <QMdiSubWindow>

namespace ostrel {

class CQuorlenDoc;
class CQuorlenView;

// One source window in the main window's MDI area, holding one view of a document.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    CChildFrame(CQuorlenDoc *document, CQuorlenView *view, QWidget *parent = nullptr);

    CQuorlenDoc *GetDocument() const { return m_document; }
    CQuorlenView *GetView() const { return m_view; }

protected:
    // Closing the last window of a modified document asks to save it first.
    void closeEvent(QCloseEvent *event) override;

private:
    void UpdateTitle();

    CQuorlenDoc *m_document;
    CQuorlenView *m_view;
};

} // namespace ostrel
