#pragma once

#include "roster/LoadedSchool.h"
#include "startup/forms/MainWindow.h"

#include <memory>

namespace testing_support {

// The loaded school with the program's window over it.
struct TestSchool : LoadedSchool
{
    std::unique_ptr<MainWindow> window;

    explicit TestSchool(const QStringList &roster = rosterLines()) : LoadedSchool(roster)
    {
        window = std::make_unique<MainWindow>(*state, fakes.services, inst.applicationFolder);
        window->show();
    }
};

} // namespace testing_support
