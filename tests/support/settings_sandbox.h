#pragma once

#include "scoped_env.h"

#include <QString>
#include <QTemporaryDir>

#include <optional>

// A fresh folder as XDG_CONFIG_HOME (and as QSettings' user folder, which Qt caches once per
// process) for the scope; the old place is restored afterwards.
class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    bool isValid() const;
    QString configHome() const;
    QString settingsFile() const;  // <configHome>/Hallestad/Morvalo.ini
    // Writes text as the whole settings file, creating its folder; false when that fails.
    bool writeSettingsFile(const QByteArray& text) const;
    QByteArray readSettingsFile() const;  // empty when there is none

private:
    QTemporaryDir folder;
    std::optional<ScopedEnv> configVariable;
};
