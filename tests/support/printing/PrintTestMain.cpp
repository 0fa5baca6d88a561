#include "startup/forms/ProgramApplication.h"
#include "support/printing/PrintQueue.h"

#include <gtest/gtest.h>

#include <cstdio>

// The print tests run offscreen under the program's own application object, with the CUPS client pointed at
// the private server before Qt's print support asks it for printers.
int main(int argc, char **argv)
{
    testing_support::PrintQueue::useTestServer();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    ProgramApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const testing_support::PrintQueue queue;
    if (!queue.throughCups())
        std::fprintf(stderr, "Printing without the CUPS queue (%s): printers write PDF files themselves.\n",
                     qPrintable(queue.whyNot()));
    return RUN_ALL_TESTS();
}
