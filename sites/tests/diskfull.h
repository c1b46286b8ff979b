// A full disk for the tests of the stores, where one can be had: on POSIX the
// process's file-size limit is lowered, so that any write reaching past the
// given offset of a regular file fails (EFBIG, SIGXFSZ ignored) as it would on
// a full disk; the limit and the signal are put back when the guard goes. On
// Windows ok() is false and the tests that need it are skipped.
#pragma once
#include <cstdint>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace sitestest {

class DiskFull {
public:
    explicit DiskFull(uint64_t bytes) {
#ifndef _WIN32
        if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit r = saved_;
        r.rlim_cur = (rlim_t)bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &r) == 0;
        if (!ok_) std::signal(SIGXFSZ, oldHandler_);
#else
        (void)bytes;
#endif
    }
    ~DiskFull() {
#ifndef _WIN32
        if (ok_) {
            setrlimit(RLIMIT_FSIZE, &saved_);
            std::signal(SIGXFSZ, oldHandler_);
        }
#endif
    }
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
#ifndef _WIN32
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = SIG_DFL;
#endif
};

}  // namespace sitestest
