#pragma once

namespace corvane {

// Reads and moves other programs' windows, one request at a time on its own queue.
class AXWindowService {
public:
    static AXWindowService& shared();
    static void setShared(AXWindowService* service);
};

} // namespace corvane
