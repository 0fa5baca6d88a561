#pragma once

#include "DataTool.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// The data tool run in the test's own process: its exit status and what it wrote to each stream.
struct ToolRun
{
    int status = -1;
    QString out;
    QString err;
};

// Runs one of the tool's commands (`yojidata::runDataTool` unless told otherwise) on `arguments`.
template <typename Command = decltype(&yojidata::runDataTool)>
ToolRun runTool(const QStringList &arguments, Command command = &yojidata::runDataTool)
{
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = command(arguments, out, err);
    out.flush();
    err.flush();
    return run;
}
