#include "serial/LinkFactory.h"
#include "serial/SerialLink.h"
#include "serial/TcpLink.h"

#include <gtest/gtest.h>

namespace {

// A link that only tells which port text made it.
class NamedLink : public Link {
public:
    explicit NamedLink(const QString& port) : port_(port) {}
    QString name() const override { return port_; }
    async::Task<bool> open() override { co_return true; }
    void close() override {}
    bool isOpen() const override { return false; }
    QString errorString() const override { return {}; }
    bool write(const QByteArray&) override { return false; }
    qint64 bytesWaiting() const override { return 0; }
    QByteArray takeAll() override { return {}; }

private:
    QString port_;
};

const PortNames kNames{QStringLiteral("/dev/pts/41"), QStringLiteral("/dev/pts/42")};

TEST(LinkFactory, ComNamesMapToTheConfiguredDevicesInAnyCase) {
    for (const char* name : {"COM1", "com1", "Com1"}) {
        auto link = createLink(QString::fromLatin1(name), kNames);
        auto* serial = dynamic_cast<SerialLink*>(link.get());
        ASSERT_NE(serial, nullptr) << name;
        EXPECT_EQ(serial->name(), QStringLiteral("COM1"));
        EXPECT_EQ(serial->device(), QStringLiteral("/dev/pts/41"));
    }
    auto link = createLink(QStringLiteral("COM2"), kNames);
    EXPECT_EQ(dynamic_cast<SerialLink&>(*link).device(), QStringLiteral("/dev/pts/42"));
}

TEST(LinkFactory, PlatformDefaultsAreTheFirstTwoSerialPorts) {
    const PortNames names = PortNames::platformDefault();
#ifdef Q_OS_WIN
    EXPECT_EQ(names.com1, QStringLiteral("COM1"));
    EXPECT_EQ(names.com2, QStringLiteral("COM2"));
#else
    EXPECT_EQ(names.com1, QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(names.com2, QStringLiteral("/dev/ttyS1"));
#endif
}

TEST(LinkFactory, DevicePathsTcpAddressesAndRegisteredNames) {
    auto device = createLink(QStringLiteral("/dev/ttyUSB0"), kNames);
    auto* serial = dynamic_cast<SerialLink*>(device.get());
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->device(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(serial->name(), QStringLiteral("/dev/ttyUSB0"));

    auto tcp = createLink(QStringLiteral("tcp://127.0.0.1:4001"), kNames);
    ASSERT_NE(dynamic_cast<TcpLink*>(tcp.get()), nullptr);
    EXPECT_EQ(tcp->name(), QStringLiteral("tcp://127.0.0.1:4001"));

    registerLinkFactory(QStringLiteral("fake"),
                        [](const QString& port) { return std::make_unique<NamedLink>(port); });
    EXPECT_TRUE(registeredLinkNames().contains(QStringLiteral("fake")));
    auto plain = createLink(QStringLiteral("fake"), kNames);
    ASSERT_NE(dynamic_cast<NamedLink*>(plain.get()), nullptr);
    auto withOptions = createLink(QStringLiteral("fake:slow"), kNames);
    ASSERT_NE(dynamic_cast<NamedLink*>(withOptions.get()), nullptr);
    EXPECT_EQ(withOptions->name(), QStringLiteral("fake:slow"));
    // Only the name itself or the name and a colon select it.
    EXPECT_NE(dynamic_cast<SerialLink*>(createLink(QStringLiteral("faker"), kNames).get()),
              nullptr);
}

} // namespace
