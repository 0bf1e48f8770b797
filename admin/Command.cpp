#include "admin/Command.h"

#include <QList>

namespace {
QList<AdminCommand>& registry()
{
    static QList<AdminCommand> commands;
    return commands;
}
} // namespace

AdminCommandRegistration::AdminCommandRegistration(const AdminCommand& command)
{
    registry().append(command);
}

const QList<AdminCommand>& adminCommands()
{
    return registry();
}

void adminOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void adminError(const QString& text)
{
    const QByteArray bytes = (QStringLiteral("tabulon-admin: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}
