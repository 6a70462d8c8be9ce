#include "app/quorlen_app.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char **argv)
{
    // Everything after the program name is a file path: kept as the bytes it came as, and kept
    // from Qt, which would take names such as "-reverse" or "-style" as its own options.
    const std::vector<std::string> arguments(argv, argv + argc);
    int qtArgc = 1;
    char *qtArgv[] = { argv[0], nullptr };
    QApplication application(qtArgc, qtArgv);
    return ostrel::RunOstrel(application, arguments);
}
