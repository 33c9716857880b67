#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The two programs that watch a list of directories.
enum class ProgramKind { Desktop, Headless };

// The program that holds a list's lock, as it recorded itself.
struct LockHolder {
    unsigned long processId = 0; // 0 when its record could not be read
    ProgramKind kind = ProgramKind::Desktop;
};

// One program per list file. The lock is named by the file's identity and dropped by the system
// when its holder ends, however it ends, so it is never left behind by a crash. The holder
// records its process id and kind where a second program reads them. The lock files live in a
// folder of the user's own outside the user's folders (the POSIX backend: /tmp/peerwell-<uid>).
class InstanceLock {
public:
    enum class Outcome {
        Taken,  // this process holds the lock until the object goes
        Held,   // another program holds it (Holder)
        Failed, // the lock could not be made (Error): nothing guards the list
    };

    // Tries once, without waiting, to take the lock of listFile (which need not exist).
    InstanceLock(const std::string& listFile, ProgramKind kind);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Outcome Result() const { return outcome_; }
    const LockHolder& Holder() const { return holder_; }
    int Error() const { return error_; }
    // The list file's absolute path with links resolved.
    const std::string& Identity() const { return identity_; }
    // Where a holder that is a desktop program takes requests to show its window: a local
    // socket's name, one per identity.
    const std::string& ShowChannel() const { return showChannel_; }

private:
    struct Backend;

    std::string identity_;
    Outcome outcome_ = Outcome::Failed;
    LockHolder holder_;
    int error_ = 0;
    std::string showChannel_;
    std::unique_ptr<Backend> backend_;
};

// What a program tells its user of the lock: who holds the list, or that nothing guards it;
// empty when the lock was taken.
std::string DescribeLock(const InstanceLock& lock);

// The identity of a list file: the absolute path of the file that its saves replace, with
// symbolic links resolved, also for a file that does not exist yet.
std::string ListIdentity(const std::string& listFile);

// For the backends: the name of the identity's lock (hexadecimal digits), and the holder's
// record in its lock file, of fixed length.
std::string LockName(const std::string& identity);
std::string FormatLockRecord(unsigned long processId, ProgramKind kind);
// The holder in a record; nothing (processId 0) when the record is not whole yet.
LockHolder ParseLockRecord(std::string_view record);

} // namespace platform
