// The editor opcodes of the built library where no X server can be reached: the host keeps
// its generic parameter view and nothing fails.

#include "support/TestHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tumblet::test
{
namespace
{

TEST(EditorWithoutDisplayTest, OpenAnswersZeroAndTheHostCarriesOn)
{
    // A display nobody serves: the connection is refused.
    setenv("DISPLAY", ":999", 1);
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
}

} // namespace
} // namespace tumblet::test
