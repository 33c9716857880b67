#pragma once

#include "tests/reliability/ChildProcess.h"

#include <optional>
#include <string>

namespace watchtest {

// A FUSE mount standing in for a network share: bindfs shows the directory Server() at Share().
// Whatever is done in Server() happens behind the local kernel's back, as a file server's
// changes do; Freeze() makes the share stop answering like a server that is gone.
class BindfsMount {
public:
    // Why no mount can be made here, or nothing when it can.
    static std::optional<std::string> Unavailable();

    // Makes root/server and root/share and mounts; throws std::runtime_error on failure.
    explicit BindfsMount(const std::string& root);
    // Thaws, unmounts and reaps the daemon.
    ~BindfsMount();
    BindfsMount(const BindfsMount&) = delete;
    BindfsMount& operator=(const BindfsMount&) = delete;

    const std::string& Server() const { return server_; }
    const std::string& Share() const { return share_; }

    // Stops and resumes the daemon: meanwhile every access to the share waits in the kernel.
    void Freeze();
    void Thaw();
    // Ends the daemon: every access to the share fails (ENOTCONN) until it is unmounted.
    void Kill();

private:
    std::string server_;
    std::string share_;
    std::optional<reliability::ChildProcess> daemon_;
};

} // namespace watchtest
