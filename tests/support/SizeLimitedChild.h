#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// Writes that the system stops part way: `write` runs in a child process whose files may not grow beyond
// `maxFileBytes` (the limit a full disk or a quota sets in practice), so the write(2) that crosses it fails
// with EFBIG. The child's text (a message it was given) comes back through a pipe; whatever it reports,
// the parent then checks that the files a school depends on are as they were.
namespace testing_support {

struct ChildOutcome
{
    bool exited = false;    // the child ended normally (no crash, no signal)
    bool succeeded = false; // and `write` returned true
    QString text;           // what `write` put into its argument
};

ChildOutcome runWithFileSizeLimit(qint64 maxFileBytes, const std::function<bool(QString *text)> &write);

} // namespace testing_support
