#pragma once

#include "records/ResultRecord.h"
#include "records/RetryWait.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

namespace records_test {

// A record assembled field by field at the documented offsets, independently of the encoder.
inline QByteArray rawRecord(double date, double clock, qint16 student, qint16 level, qint32 time,
                            const char *code = "     ", const char *reservedText = "     ",
                            const char *mode = " 0   ", const char *reserved = "\0\0\0\0\0")
{
    QByteArray b(records::kRecordSize, '\0');
    std::memcpy(b.data(), &date, 8); // the machines this runs on are little-endian, like the file
    std::memcpy(b.data() + 8, &clock, 8);
    std::memcpy(b.data() + 16, &student, 2);
    std::memcpy(b.data() + 18, &level, 2);
    std::memcpy(b.data() + 20, &time, 4);
    std::memcpy(b.data() + 24, code, 5);
    std::memcpy(b.data() + 29, reservedText, 5);
    std::memcpy(b.data() + 34, mode, 5);
    std::memcpy(b.data() + 39, reserved, 5);
    return b;
}

// A wait that returns at once, records what was asked, and lets the test act while "waiting".
class ScriptedWait : public records::RetryWait
{
public:
    bool wait(int ms, const std::function<bool()> &ready) override
    {
        asked.push_back(ms);
        if (asked.size() > 100)
            throw std::runtime_error("waited more than 100 times"); // never hang a test
        if (onWait)
            onWait(int(asked.size()));
        return ready && ready();
    }
    void longWaitBegins(const QString &line) override { notices.push_back(line); }
    void longWaitEnds() override { notices.push_back(QStringLiteral("(end)")); }
    std::vector<int> asked;
    std::vector<QString> notices; // what the waiting panel was told, "(end)" when it went
    std::function<void(int call)> onWait;
};

// Keeps a test that opens a FIFO from hanging: while it lives, whoever waits in open() for the FIFO's
// other end is let go (the other end is opened and closed again), so that the test goes on and fails.
class FifoUnblocker
{
public:
    explicit FifoUnblocker(const QString &fifo)
        : m_thread([this, name = QFile::encodeName(fifo)] {
              while (!m_done) {
                  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~FifoUnblocker()
    {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace records_test
