// A port that goes away and comes back: a pseudo-terminal behind a link that is removed and
// made again, and network ports served by a local TCP server, raw and telnet.

#include <gtest/gtest.h>

#include <filesystem>

#include "link_rig.h"
#include "tcp_server.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::eventually;
using testing::TcpServer;

struct ReconnectTest : ::testing::Test {
    void start(testing::LinkRig& rig) {
        std::filesystem::remove(dir.file("cap.txt"));
        rig.desktop.choose(dir.file("cap.txt"));
        rig.capture.start_download("");
        ASSERT_TRUE(rig.link->open_port());
    }
    bool captured(const std::string& text) {
        return eventually([&] { return testing::file_text(dir.file("cap.txt")) == text; });
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
    // One error text however often the device was looked for while it was gone.
    EXPECT_EQ(rig.screen_line(4), "before");
    EXPECT_EQ(rig.screen_line(3), text::sjis("com ｴﾗ- 5"));
    EXPECT_EQ(rig.screen_line(2), path + text::sjis(" に再接続しました"));
    rig.link->send_char('K');
    EXPECT_EQ(second.read(1), "K");
    std::filesystem::remove(path);  // lost again: closing must not wait for the device
}

// Raw, bytes pass as they are; telnet, options are refused, commands leave the data, and a
// 0xFF is doubled both ways. Then the server drops the call and takes the next one.
TEST_F(ReconnectTest, NetworkPortRawAndTelnetAndCallAgain) {
    struct Row {
        const char* name;
        std::string from_peer, answers, ff_sent;
    } rows[] = {
        {"raw", "a\377b\r\n", "", "\377"},
        {"telnet", "\377\375\001\377\373\003a\377\377b\377\372\030\001\377\360\r\n",
         "\377\374\001\377\376\003", "\377\377"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TcpServer server;
        testing::LinkRig rig(server.device());
        rig.settings.port.local_echo = 0;
        rig.modem->dsr_on = false;  // DSR does not apply on the network
        start(rig);
        int peer = server.accept_one();
        ::send(peer, row.from_peer.data(), row.from_peer.size(), 0);
        ASSERT_TRUE(captured("a\377b\r\n"));
        EXPECT_EQ(TcpServer::receive(peer, row.answers.size()), row.answers);
        rig.link->send_char(0xff);
        EXPECT_EQ(TcpServer::receive(peer, row.ff_sent.size()), row.ff_sent);
        ::close(peer);
        peer = server.accept_one();
        ASSERT_TRUE(eventually([&] { return rig.link->port_is_open(); }));
        ::send(peer, "c\r\n", 3, 0);
        EXPECT_TRUE(captured("a\377b\r\nc\r\n"));
        EXPECT_EQ(rig.screen_line(3), text::sjis("tcp ｴﾗ- 104"));
        ::close(peer);
    }
}

TEST_F(ReconnectTest, RefusedCallIsToldOnceAndRetried) {
    TcpServer server(false);
    testing::LinkRig rig(server.device());
    ASSERT_TRUE(rig.link->open_port());
    ASSERT_TRUE(eventually([&] { return rig.screen_line() == text::sjis("tcp ｴﾗ- 111"); }));
    server.listen();
    const int peer = server.accept_one();
    ASSERT_TRUE(eventually([&] { return rig.link->port_is_open(); }));
    EXPECT_EQ(rig.screen_line(1), server.device() + text::sjis(" に再接続しました"));
    ::close(peer);
}

}  // namespace
}  // namespace kestrel
