#include "tests/support/RecordingInterface.h"

namespace chipshift::test {

void RecordingInterface::pumpEvents() {
    log.push_back("pump");
    ++pumps_;
    if (onPump) onPump(*this, pumps_);
}

std::vector<std::string> RecordingInterface::entriesStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& entry : log)
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    return out;
}

}  // namespace chipshift::test
