#include "port_settings.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

constexpr int DefaultComNumber = 2;

// A "COM" that is not a plain 32-bit integer counts as a value of the wrong type.
int comNumberFrom(const QVariant& stored)
{
    static const QRegularExpression plain(QStringLiteral("^-?\\d{1,10}$"));
    if (stored.typeId() != QMetaType::QString && stored.typeId() != QMetaType::Int)
        return DefaultComNumber;
    QString text = stored.toString();
    bool ok = false;
    int number = text.toInt(&ok);
    return ok && plain.match(text).hasMatch() ? number : DefaultComNumber;
}

}  // namespace

PortSettings::PortSettings()
    : store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Hallestad",
                                        "Morvalo"))
{
    comNumber = comNumberFrom(store->value(QStringLiteral("COM")));
    QVariant active = store->value(QStringLiteral("MVRActive"));
    flag = active.typeId() == QMetaType::QString && active.toString() == QLatin1String("TRUE");
}

PortSettings::~PortSettings()
{
    // A store that cannot be written keeps its old contents; nothing is shown.
    store->setValue(QStringLiteral("COM"), comNumber);
    store->setValue(QStringLiteral("MVRActive"), flag ? QStringLiteral("TRUE")
                                                      : QStringLiteral("FALSE"));
    store->sync();
}
