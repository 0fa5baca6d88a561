#include "DemoSchool.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <cstdio>

// make-demo-school <folder>: lays out the demo school in <folder>, writing only what is missing.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 || args[1].startsWith(u'-')) {
        std::fprintf(stderr, "usage: make-demo-school <folder>\n"
                             "Lays out the demo school in <folder>; files that exist are kept.\n");
        return 2;
    }
    QStringList written;
    if (const app::Status failed = demo::layOut(args[1], QDate::currentDate(), &written)) {
        std::fprintf(stderr, "make-demo-school: %s\n", qPrintable(failed->text));
        return 1;
    }
    std::printf("demo school in %s: %lld file(s) written\n", qPrintable(QDir(args[1]).absolutePath()),
                static_cast<long long>(written.size()));
    return 0;
}
