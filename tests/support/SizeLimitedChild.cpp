#include "support/SizeLimitedChild.h"

#include <QByteArray>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ChildOutcome runWithFileSizeLimit(qint64 maxFileBytes, const std::function<bool(QString *text)> &write)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return {};
    }
    if (child == 0) {
        close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(maxFileBytes), rlim_t(maxFileBytes)};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString text;
        const bool ok = write(&text);
        const QByteArray bytes = text.toUtf8();
        [[maybe_unused]] const ssize_t written =
            ::write(pipeEnds[1], bytes.constData(), size_t(bytes.size()));
        close(pipeEnds[1]);
        // No destructors, no handlers of the parent's objects: the child only reports.
        _exit(ok ? 0 : 1);
    }
    close(pipeEnds[1]);
    QByteArray bytes;
    char buffer[512];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ChildOutcome outcome;
    outcome.exited = WIFEXITED(status);
    outcome.succeeded = outcome.exited && WEXITSTATUS(status) == 0;
    outcome.text = QString::fromUtf8(bytes);
    return outcome;
}

} // namespace testing_support
