// The guide's pictures of the editor itself: the whole window under the default skin, and the
// window with its main menu open. The editor is made as a host makes it, through the product's
// entry, on the offscreen backend.

#include "GuideEditorShots.h"

#include "controls/BlxMenuButton.h"
#include "editor/VSTEditorMenu.h"
#include "entry/ProductFactory.h"
#include "ui/BlxApplication.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxOffscreenPlatform.h"
#include "ui/BlxScreenshot.h"
#include "vst2/CustomVSTModule.h"

#include <cstdlib>

namespace tumblet
{

namespace
{

// Offscreen, any non-zero value stands for the host's window.
constexpr std::intptr_t kOffscreenParent = 1;
constexpr std::intptr_t kHostVersion = 2400;

std::intptr_t HostCallback(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

/// Clicks the menu button, then idles until the menu shows and draws it over the editor.
bool MainMenuPicture(TfrmVSTEditorMenu& editor, const std::string& path)
{
    TBlxOffscreenPlatform& offscreen = *TBlxApplication::Instance().Offscreen();
    bool saved = false;
    offscreen.Post(
        [&]
        {
            TBlxMenu& menu = editor.ddmMenu;
            if (!menu.IsOpen() || menu.LevelCount() == 0)
            {
                return false;
            }
            saved = BlxSaveWindowsPng({&editor, &menu.Level(0)}, path);
            menu.CloseMenu();
            return true;
        });
    editor.btnMenu->Click();
    // The click returns at once: the menu shows, and closes, on the rounds of idling after it.
    TBlxApplication& app = TBlxApplication::Instance();
    for (int round = 0; round < 1000 && (offscreen.PendingActions() > 0 || editor.ddmMenu.IsOpen());
         ++round)
    {
        app.ProcessMessages();
    }
    return saved;
}

} // namespace

bool DrawEditorPictures(const std::string& folder)
{
    AEffect* effect = CreateProductEffect(&HostCallback);
    if (effect == nullptr)
    {
        return false;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    // Drawn at 200 %, as a host that scales its plug-in windows would ask: sharp on paper.
    effect->dispatcher(effect, effVendorSpecific, kVendorSpecificPreSonus,
                       kVendorSpecificContentScale, nullptr, 2.0f);
    bool saved = false;
    if (effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(kOffscreenParent),
                           0.0f) == 1)
    {
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        auto* module = static_cast<TCustomVSTModule*>(TBasicVSTModule::FromEffect(effect));
        auto* editor = dynamic_cast<TfrmVSTEditorMenu*>(module ? module->Editor() : nullptr);
        if (editor != nullptr)
        {
            saved = BlxSaveWindowsPng({editor}, folder + "/editor.png") &&
                    MainMenuPicture(*editor, folder + "/main_menu.png");
        }
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return saved;
}

} // namespace tumblet
