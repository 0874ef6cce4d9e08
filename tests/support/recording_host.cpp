#include "recording_host.h"

namespace testing_support {

void RecordingHost::pumpEvents() {
    ++pumps;
    if (action && pumps == actOnPump) {
        action();
    }
}

} // namespace testing_support
