#pragma once

#include "platform/Clock.h"
#include "platform/MediaLayer.h"
#include "platform/MessageBoxes.h"
#include "platform/OutputDialogs.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"
#include "platform/RetryWait.h"

// The platform services the program reaches through small interfaces. The application holds the real
// ones; tests hand in fakes that record what happened and let time jump.
struct Services
{
    platform::Clock &clock;
    platform::RandomSource &random;
    platform::MessageBoxes &messages;
    platform::ProgramLauncher &launcher;
    platform::ProgramEnd &programEnd;
    platform::MediaLayer &media;
    // How the file routines wait for the results file and its lock; the window gives it the waiting
    // panel as its notice. Routines that must wait otherwise (the teacher tools) take its notice.
    platform::ResponsiveWait &wait;
    platform::OutputDialogs &outputDialogs;
};
