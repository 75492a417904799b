#include "scoped_env.h"

#include <QtGlobal>

ScopedEnv::ScopedEnv(const char* variable, const QByteArray& value) : name(variable)
{
    if (qEnvironmentVariableIsSet(variable))
        previous = qgetenv(variable);
    qputenv(variable, value);
}

ScopedEnv::~ScopedEnv()
{
    if (previous)
        qputenv(name.constData(), *previous);
    else
        qunsetenv(name.constData());
}
