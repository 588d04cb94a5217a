#pragma once

namespace corvane {

// The running application as the desktop sees it.
class ApplicationHost {
public:
    enum class ActivationPolicy { regular, accessory };
    virtual ~ApplicationHost() = default;
    // Linux has no dock to show an icon in; the real host records the choice and does nothing.
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    // Brings the application's own windows forward.
    virtual void activate() = 0;
    virtual void beep() = 0;
    // Ends the event loop; the termination steps run before the process exits.
    virtual void terminate() = 0;
    // From the request to terminate on: windows closing now close for good, and nothing new
    // should start because of it.
    virtual bool isTerminating() const = 0;
};

} // namespace corvane
