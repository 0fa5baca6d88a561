#pragma once

#include "platform/RetryWait.h"

// The file routines of the records wait through the program's wait (platform/RetryWait.h), which the
// application holds in its services; they name its types as their own.
namespace records {

using platform::ResponsiveWait;
using platform::RetryWait;
using platform::waitForLockInSlices;
using platform::waitInSteps;
using platform::WaitNotice;

} // namespace records
