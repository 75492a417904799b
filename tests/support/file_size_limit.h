#pragma once

#include <sys/resource.h>

#include <csignal>

// Caps the size of the files this process writes, for the scope: a write past the cap fails
// as on a full disk (SIGXFSZ ignored), and binds root as well.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
            return;
        rlimit tight = saved;
        tight.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit()
    {
        if (active)
            setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return active; }

private:
    void (*previousHandler)(int);
    rlimit saved{};
    bool active = false;
};
