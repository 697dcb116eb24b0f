// Windowed dialogs only on the instance's own thread; other threads get the fallback.

#include "plugin/ThreadBoundDialogService.h"

#include <gtest/gtest.h>

#include <thread>

namespace tumblet::test
{
namespace
{

class TCountingDialogs final : public TDialogService
{
public:
    explicit TCountingDialogs(int& count) : FCount(count) {}
    TResult ShowMessageDialog(TVstEditorForm*, const std::string&, const std::string&, TButtons,
                              TType) override
    {
        ++FCount;
        return TResult::Yes;
    }
    bool InputTextDialog(TVstEditorForm*, const std::string&, const std::string&, bool, int,
                         std::string& text) override
    {
        ++FCount;
        text = "typed";
        return true;
    }
    bool InputNumberDialog(TVstEditorForm*, const std::string&, const std::string&, double, double,
                           int, double& value) override
    {
        ++FCount;
        value = 7;
        return true;
    }

private:
    int& FCount;
};

TEST(ThreadBoundDialogServiceTest, OwnerThreadGetsWindowsOtherThreadsTheFallback)
{
    int windowed = 0;
    int fallback = 0;
    TThreadBoundDialogService service(std::make_unique<TCountingDialogs>(windowed),
                                      std::make_unique<TCountingDialogs>(fallback));
    std::string text;
    double value = 0;
    service.ShowMessageDialog(nullptr, "t", "c", TDialogService::TButtons::OK,
                              TDialogService::TType::Warning);
    service.InputTextDialog(nullptr, "c", "p", false, 10, text);
    EXPECT_EQ(windowed, 2);
    std::thread other(
        [&]
        {
            service.InputNumberDialog(nullptr, "c", "p", 127, 0, 0, value);
            service.ShowMessageDialog(nullptr, "t", "c", TDialogService::TButtons::YesNo,
                                      TDialogService::TType::Confirmation);
        });
    other.join();
    EXPECT_EQ(windowed, 2);
    EXPECT_EQ(fallback, 2);
}

} // namespace
} // namespace tumblet::test
