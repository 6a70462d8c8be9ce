#include "app/new_chooser_dlg.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace ostrel {
namespace {

// Return pressed on whatever has the focus after the keys before it.
TEST(NewChooser, ReturnChoosesUnlessTheFocusIsOnCancel)
{
    struct Case
    {
        std::vector<Qt::Key> keysBefore;
        int result;
        int choice;
    };
    const Case cases[] = {
        { {}, QDialog::Accepted, CNewChooserDlg::NewFile },
        { { Qt::Key_Down }, QDialog::Accepted, CNewChooserDlg::NewProject },
        { { Qt::Key_Tab }, QDialog::Accepted, CNewChooserDlg::NewFile }, // on OK
        { { Qt::Key_Tab, Qt::Key_Tab }, QDialog::Rejected, -1 }, // on Cancel
    };
    for (const Case &c : cases) {
        CNewChooserDlg dialog(nullptr);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        for (Qt::Key key : c.keysBefore)
            QTest::keyClick(QApplication::focusWidget(), key);
        const QString focused = QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << focused.toStdString();
        EXPECT_EQ(dialog.result(), c.result) << focused.toStdString();
        if (c.result == QDialog::Accepted) {
            EXPECT_EQ(dialog.GetChoice(), c.choice) << focused.toStdString();
        }
    }
}

} // namespace
} // namespace ostrel
