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
    void ShowMessageDialog(TVstEditorForm*, const std::string&, const std::string&, TButtons, TType,
                           TAnswered) override
    {
        ++FCount;
    }
    void InputTextDialog(TVstEditorForm*, const std::string&, const std::string&, bool, int,
                         const std::string&, TTextEntered) override
    {
        ++FCount;
    }
    void InputNumberDialog(TVstEditorForm*, const std::string&, const std::string&, double, double,
                           int, double, TNumberEntered) override
    {
        ++FCount;
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
    service.ShowMessageDialog(nullptr, "t", "c", TDialogService::TButtons::OK,
                              TDialogService::TType::Warning);
    service.InputTextDialog(nullptr, "c", "p", false, 10, "", {});
    EXPECT_EQ(windowed, 2);
    std::thread other(
        [&]
        {
            service.InputNumberDialog(nullptr, "c", "p", 127, 0, 0, 0, {});
            service.ShowMessageDialog(nullptr, "t", "c", TDialogService::TButtons::YesNo,
                                      TDialogService::TType::Confirmation);
        });
    other.join();
    EXPECT_EQ(windowed, 2);
    EXPECT_EQ(fallback, 2);
}

} // namespace
} // namespace tumblet::test
