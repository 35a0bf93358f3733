// A port that goes away and comes back: a pseudo-terminal behind a link that is removed and
// made again, and network ports served by a local TCP server, raw and telnet.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <filesystem>
#include <string>

#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::eventually;
using testing::file_text;

// A listening socket on 127.0.0.1; `listen` false leaves it bound only, so calls are refused.
struct TcpServer {
    explicit TcpServer(bool listening = true) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), n);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
        port = ntohs(a.sin_port);
        if (listening) ::listen(fd, 4);
    }
    ~TcpServer() { ::close(fd); }
    std::string device() const { return "tcp://127.0.0.1:" + std::to_string(port); }
    int accept_one() const {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 10000) == 1 ? ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
    }
    int fd = -1, port = 0;
};

std::string receive(int fd, std::size_t n) {
    std::string out;
    char buffer[256];
    for (pollfd p{fd, POLLIN, 0}; out.size() < n && ::poll(&p, 1, 10000) == 1;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return out;
}

struct ReconnectTest : ::testing::Test {
    void start(testing::LinkRig& rig) {
        rig.desktop.choose(dir.file("cap.txt"));
        rig.capture.start_download("");
        ASSERT_TRUE(rig.capture.is_open());
        ASSERT_TRUE(rig.link->open_port());
    }
    bool captured(const std::string& text) {
        return eventually([&] { return file_text(dir.file("cap.txt")) == text; });
    }
    testing::TempDir dir;
};

TEST_F(ReconnectTest, PtyLinkRemovedAndMadeAgainMidCapture) {
    const std::string path = dir.file("tnc");
    auto first = std::make_unique<testing::PtyPair>();
    std::filesystem::create_symlink(first->slave_path(), path);
    testing::LinkRig rig(path);
    rig.settings.port.dsr_watch = 0;
    start(rig);
    first->write("before\r\n");
    ASSERT_TRUE(captured("before\r\n"));
    first.reset();  // the adapter pulled out: the line hangs up
    ASSERT_TRUE(eventually([&] { return !rig.link->port_is_open(); }));
    std::filesystem::remove(path);
    testing::PtyPair second;
    std::filesystem::create_symlink(second.slave_path(), path);
    ASSERT_TRUE(eventually([&] { return rig.link->port_is_open(); }));
    second.write("after\r\n");
    EXPECT_TRUE(captured("before\r\nafter\r\n"));
    EXPECT_EQ(rig.screen_line(3), text::sjis("com ｴﾗ- 5"));
    EXPECT_EQ(rig.screen_line(2), path + text::sjis(" に再接続しました"));
    rig.link->send_char('K');
    EXPECT_EQ(second.read(1), "K");
    // Lost again and waiting: closing must not wait for the device.
    std::filesystem::remove(path);
    rig.link->close_port();
}

// Raw, bytes pass as they are; telnet, options are refused, commands leave the data, and a
// 0xFF is doubled both ways. Then the server drops the call and takes the next one.
TEST_F(ReconnectTest, NetworkPortRawAndTelnetAndCallAgain) {
    struct Row {
        const char* name;
        std::string from_peer, answers, ff_sent;
    } rows[] = {
        {"raw",
         "a\xff"
         "b\r\n",
         "", "\xff"},
        {"telnet",
         "\xff\xfd\x01\xff\xfb\x03"
         "a\xff\xff"
         "b\xff\xfa\x18\x01\xff\xf0\r\n",
         "\xff\xfc\x01\xff\xfe\x03", "\xff\xff"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TcpServer server;
        testing::LinkRig rig(server.device());
        rig.settings.port.local_echo = 0;
        rig.modem->dsr_on = false;  // DSR does not apply on the network
        start(rig);
        int peer = server.accept_one();
        ASSERT_GE(peer, 0);
        ::send(peer, row.from_peer.data(), row.from_peer.size(), 0);
        ASSERT_TRUE(
            captured("a\xff"
                     "b\r\n"));
        EXPECT_EQ(receive(peer, row.answers.size()), row.answers);
        rig.link->send_char(0xff);
        EXPECT_EQ(receive(peer, row.ff_sent.size()), row.ff_sent);
        ::close(peer);
        peer = server.accept_one();
        ASSERT_GE(peer, 0);
        ASSERT_TRUE(eventually([&] { return rig.link->port_is_open(); }));
        ::send(peer, "c\r\n", 3, 0);
        EXPECT_TRUE(
            captured("a\xff"
                     "b\r\nc\r\n"));
        EXPECT_EQ(rig.screen_line(3), text::sjis("tcp ｴﾗ- 104"));
        ::close(peer);
        rig.link->close_port();
        std::filesystem::remove(dir.file("cap.txt"));
    }
}

TEST_F(ReconnectTest, RefusedCallIsToldOnceAndRetried) {
    TcpServer server(false);
    testing::LinkRig rig(server.device());
    ASSERT_TRUE(rig.link->open_port());
    ASSERT_TRUE(eventually([&] { return rig.screen_line() == text::sjis("tcp ｴﾗ- 111"); }));
    ::listen(server.fd, 4);
    const int peer = server.accept_one();
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(eventually([&] { return rig.link->port_is_open(); }));
    EXPECT_EQ(rig.screen_line(1), server.device() + text::sjis(" に再接続しました"));
    ::close(peer);
}

}  // namespace
}  // namespace kestrel
