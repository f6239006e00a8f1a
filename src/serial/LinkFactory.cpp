#include "serial/LinkFactory.h"

#include "serial/SerialLink.h"
#include "serial/TcpLink.h"

#include <QVector>

#include <utility>

namespace {

struct Registration {
    QString name;
    LinkFactoryFunction factory;
};

QVector<Registration>& registry() {
    static QVector<Registration> all;
    return all;
}

bool selects(const Registration& registration, const QString& port) {
    return port == registration.name || port.startsWith(registration.name + QLatin1Char(':'));
}

} // namespace

PortNames PortNames::platformDefault() {
#ifdef Q_OS_WIN
    return {QStringLiteral("COM1"), QStringLiteral("COM2")};
#else
    return {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")};
#endif
}

std::unique_ptr<Link> createLink(const QString& port, const PortNames& names) {
    if (port.compare(QLatin1String("COM1"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SerialLink>(QStringLiteral("COM1"), names.com1);
    if (port.compare(QLatin1String("COM2"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SerialLink>(QStringLiteral("COM2"), names.com2);
    if (port.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive))
        return std::make_unique<TcpLink>(port);
    for (const Registration& registration : std::as_const(registry())) {
        if (selects(registration, port))
            return registration.factory(port);
    }
    return std::make_unique<SerialLink>(port);
}

void registerLinkFactory(const QString& name, LinkFactoryFunction factory) {
    for (Registration& registration : registry()) {
        if (registration.name == name) {
            registration.factory = std::move(factory);
            return;
        }
    }
    registry().append({name, std::move(factory)});
}

QStringList registeredLinkNames() {
    QStringList names;
    for (const Registration& registration : std::as_const(registry()))
        names.append(registration.name);
    return names;
}
