#pragma once

// The module loaded through the editor entry with its editor open on the offscreen backend, as
// a host holds it: what the editor tests and the editor snapshots start from.

#include "EditorTestEntry.h"
#include "support/TestHost.h"
#include "ui/BlxTestDriver.h"

#include <gtest/gtest.h>

#include <functional>

namespace tumblet::test
{

class TOpenEditor
{
protected:
    /// Any window id will do: the offscreen backend embeds nothing.
    static constexpr std::intptr_t kOffscreenParent = 0x1234;

    /// Loads the module, lets `prepare` set it up, opens the editor and gives it one idle call.
    void LoadAndOpen(const std::function<void(TVSTPlugin&)>& prepare = {})
    {
        Offscreen().SetPointer({0, 0}, 0);
        ASSERT_NE(Host.LoadAndOpenWith(&EditorEntry), nullptr);
        if (prepare)
            prepare(Module());
        ASSERT_TRUE(OpenEditor());
        Idle();
    }
    void CloseAll()
    {
        Host.Dispatch(effEditClose);
        Host.Close();
        TBlxStyle::SelectNone();
    }
    /// effEditOpen as a host sends it; true when the editor opened.
    bool OpenEditor()
    {
        return Host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(kOffscreenParent)) == 1;
    }
    void Idle() { Host.Dispatch(effEditIdle); }
    TVSTPlugin& Module()
    {
        return *static_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(Host.Effect()));
    }
    TfrmEditor& Form() { return dynamic_cast<TfrmEditor&>(*Module().Editor()); }

    TTestHost Host;
};

} // namespace tumblet::test
