#include "app/quorlen_app.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    return ostrel::RunOstrel(application);
}
