// Feeds arbitrary bytes to the HTTP interface as one client's connection: the HTTP library
// reads the requests from them and the routes answer, on a fake of the program behind the
// server. The first byte's bit 0 gives the server a token. Every answer must be a whole
// HTTP/1.1 status line the routes meant, never a 500, and nothing is sent unless a send was
// accepted with 202.
#include "FakeSendService.h"
#include "FuzzApp.h"
#include "http/ApiBackend.h"
#include "http/ApiRoutes.h"
#include "http/HttpListener.h"
#include "http/MainThreadGate.h"

#include <cstdint>
#include <cstring>

namespace {

// A connection whose client sends the input and reads nothing back.
class InputStream : public httplib::Stream {
public:
    explicit InputStream(QByteArrayView input) : input_(input) {}
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        const qsizetype count = qMin(qsizetype(size), input_.size());
        std::memcpy(ptr, input_.data(), std::size_t(count));
        input_ = input_.sliced(count);
        return count;
    }
    ssize_t write(const char* ptr, size_t size) override {
        written.append(ptr, qsizetype(size));
        return ssize_t(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 8080;
    }
    socket_t socket() const override { return 0; }
    bool exhausted() const { return input_.isEmpty(); }

    QByteArray written;

private:
    QByteArrayView input_;
};

// The library's request reader is the server's; a subclass may hand it a stream.
class FuzzListener : public HttpListener {
public:
    using HttpListener::HttpListener;
    bool serveOne(InputStream& stream) {
        bool closed = false;
        return process_request(stream, false, closed, nullptr) && !closed;
    }
};

struct Server {
    explicit Server(const QByteArray& token)
        : gate(&anchor, std::chrono::milliseconds(1000)),
          routes(gate, backend, BearerToken(token), 4096),
          listener(routes, settings(), HttpListener::LogSink()) {}
    static ServerSettings settings() {
        ServerSettings s;
        s.maxBodyBytes = 4096;
        return s;
    }
    FakeSendService service{{{"Meat", "COM1"}, {"Deli", "COM2"}}};
    QObject anchor;
    ApiBackend backend{service};
    MainThreadGate gate;
    ApiRoutes routes;
    FuzzListener listener;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureCoreApplication();
    if (size == 0)
        return 0;
    static Server open{QByteArray()};
    static Server guarded{"fuzz-token-0123456789"};
    Server& server = data[0] & 1 ? guarded : open;
    const qsizetype startedBefore = server.service.started.size();
    InputStream stream(
        QByteArrayView(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
    for (int requests = 0; requests < 16 && !stream.exhausted(); ++requests)
        if (!server.listener.serveOne(stream))
            break;
    const QByteArray& answers = stream.written;
    if (!answers.isEmpty() && !answers.startsWith("HTTP/1.1 "))
        fuzzFailure("an answer that is not HTTP/1.1");
    if (answers.contains("HTTP/1.1 500"))
        fuzzFailure("a 500");
    const qsizetype sends = server.service.started.size() - startedBefore;
    if (sends > answers.count("HTTP/1.1 202"))
        fuzzFailure("a send without a 202");
    return 0;
}
