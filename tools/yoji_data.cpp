// yoji-data: the command-line tool for the people who keep a school's list of idioms.
#include "DataTool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int status = yojidata::runDataTool(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
