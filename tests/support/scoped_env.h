#pragma once

#include <QByteArray>

#include <optional>

// Sets one environment variable for the scope and restores the old value (or its absence).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    QByteArray name;
    std::optional<QByteArray> previous;
};
