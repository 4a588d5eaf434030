#include "platform/background_work.h"

namespace {
BackgroundWork* installed = nullptr;
}  // namespace

BackgroundWork* InstalledBackgroundWork() { return installed; }

void InstallBackgroundWork(BackgroundWork* work) { installed = work; }
