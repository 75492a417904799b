#include "profile_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace profile {
namespace {

QString toQString(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The whole file, or nothing when it is no regular file, unreadable or too large.
std::optional<std::string> readFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(MaxFileSize + 1);  // the file may grow meanwhile
    if (bytes.size() > MaxFileSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

// By the owner's write bit, not by access(): root may write anything, yet a file marked
// read-only is still meant to stay as it is.
bool readOnly(const QFileInfo& info)
{
    return !info.permissions().testFlag(QFileDevice::WriteOwner);
}

}  // namespace

std::vector<std::string> ReadSection(const std::string& path, std::string_view section)
{
    return ReadSections(path, {std::string(section)}).front();
}

std::vector<std::vector<std::string>> ReadSections(const std::string& path,
                                                   const std::vector<std::string>& names)
{
    const std::optional<std::string> content = readFile(toQString(path));
    if (!content)
        return std::vector<std::vector<std::string>>(names.size());
    return ParseSections(*content, names);
}

bool WriteSections(const std::string& path, const std::vector<Section>& sections)
{
    const QString name = toQString(path);
    const QFileInfo info(name);
    std::string old;
    if (info.exists()) {
        if (!info.isFile() || readOnly(info))
            return false;
        std::optional<std::string> content = readFile(name);
        if (!content)
            return false;
        old = std::move(*content);
    }
    const std::optional<std::string> updated = ReplaceSections(old, sections);
    if (!updated)
        return false;
    QSaveFile file(name);
    // Unbuffered: a buffered short write (disk full, size limit) would still commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const auto size = static_cast<qint64>(updated->size());
    if (file.write(updated->data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace profile
