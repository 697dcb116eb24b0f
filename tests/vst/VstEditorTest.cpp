// The editor opcodes of the built library where no X server can be reached: the host keeps
// its generic parameter view and nothing fails.

#include "support/TestHost.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tumblet::test
{
namespace
{

TEST(EditorWithoutDisplayTest, OpenAnswersZeroAndTheHostCarriesOn)
{
    // A display of the test's own that nobody serves: X's port for it is bound here and never
    // listened on, so the connection is refused.
    const int owner = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(owner, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(owner, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(getsockname(owner, reinterpret_cast<sockaddr*>(&address), &length), 0);
    // X display n listens on TCP port 6000 + n.
    ASSERT_GT(ntohs(address.sin_port), 6000);
    const std::string display = "127.0.0.1:" + std::to_string(ntohs(address.sin_port) - 6000);
    setenv("DISPLAY", display.c_str(), 1);
    TTestHost host;
    ASSERT_NE(host.LoadAndOpen(), nullptr);
    int fakeParent = 0;
    EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, &fakeParent), 0);
    ERect* rect = nullptr;
    EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 0);
    EXPECT_EQ(host.Dispatch(effEditIdle), 0);
    EXPECT_EQ(host.Dispatch(effEditClose), 0);
    host.Effect()->setParameter(host.Effect(), 5, 0.25f);
    EXPECT_FLOAT_EQ(host.Effect()->getParameter(host.Effect(), 5), 0.25f);
    host.Close();
    close(owner);
}

} // namespace
} // namespace tumblet::test
