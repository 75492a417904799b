#include "settings_sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

SettingsSandbox::SettingsSandbox()
{
    if (!folder.isValid())
        return;
    configVariable.emplace("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

SettingsSandbox::~SettingsSandbox()
{
    if (!configVariable)
        return;
    configVariable.reset();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

bool SettingsSandbox::isValid() const
{
    return folder.isValid();
}

QString SettingsSandbox::configHome() const
{
    return folder.path();
}

QString SettingsSandbox::settingsFile() const
{
    return folder.filePath(QStringLiteral("Hallestad/Morvalo.ini"));
}

bool SettingsSandbox::writeSettingsFile(const QByteArray& text) const
{
    if (!QDir().mkpath(QFileInfo(settingsFile()).path()))
        return false;
    QFile file(settingsFile());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(text) == text.size();
}

QByteArray SettingsSandbox::readSettingsFile() const
{
    QFile file(settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
