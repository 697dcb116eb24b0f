#include "ui/X11Backend.h"

#include <poll.h>

namespace tumblet
{

namespace
{

/// How long a paste waits for the clipboard's owner to answer, in ms.
constexpr int kClipboardTimeoutMs = 500;

} // namespace

void TX11Platform::SetClipboardText(const std::string& text)
{
    TX11ErrorTrap trap(FDisplay);
    FClipboard = text;
    XSetSelectionOwner(FDisplay, FAtoms.Clipboard, FSelectionWindow, CurrentTime);
    FOwnsClipboard = XGetSelectionOwner(FDisplay, FAtoms.Clipboard) == FSelectionWindow;
}

void TX11Platform::ServeSelection(const XSelectionRequestEvent& req)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    // Old clients leave the property empty: the target then names it.
    Atom property = req.property != Atom(x11::kNone) ? req.property : req.target;
    reply.property = x11::kNone;
    if (req.selection == FAtoms.Clipboard && FOwnsClipboard)
    {
        if (req.target == FAtoms.Targets)
        {
            Atom targets[] = {FAtoms.Targets, FAtoms.Utf8String, XA_STRING, FAtoms.Text};
            XChangeProperty(FDisplay, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets), 4);
            reply.property = property;
        }
        else if (req.target == FAtoms.Utf8String || req.target == XA_STRING ||
                 req.target == FAtoms.Text)
        {
            Atom type = req.target == XA_STRING ? XA_STRING : FAtoms.Utf8String;
            XChangeProperty(FDisplay, req.requestor, property, type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(FClipboard.data()),
                            int(FClipboard.size()));
            reply.property = property;
        }
    }
    XSendEvent(FDisplay, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(FDisplay);
}

std::string TX11Platform::ClipboardText()
{
    TX11ErrorTrap trap(FDisplay);
    Window owner = XGetSelectionOwner(FDisplay, FAtoms.Clipboard);
    if (owner == Window(x11::kNone))
    {
        return {};
    }
    if (owner == FSelectionWindow)
    {
        return FClipboard;
    }
    XDeleteProperty(FDisplay, FSelectionWindow, FAtoms.SelectionProperty);
    XConvertSelection(FDisplay, FAtoms.Clipboard, FAtoms.Utf8String, FAtoms.SelectionProperty,
                      FSelectionWindow, CurrentTime);
    XFlush(FDisplay);
    // Wait for the answer only: every other event stays queued for the pump.
    XEvent ev;
    int64_t deadline = NowMs() + kClipboardTimeoutMs;
    bool answered = false;
    while (!answered)
    {
        answered = XCheckTypedWindowEvent(FDisplay, FSelectionWindow, SelectionNotify, &ev);
        int64_t left = deadline - NowMs();
        if (answered || left <= 0)
        {
            break;
        }
        pollfd fd{ConnectionNumber(FDisplay), POLLIN, 0};
        poll(&fd, 1, int(std::min<int64_t>(left, 20)));
    }
    if (!answered || ev.xselection.property == Atom(x11::kNone))
    {
        return {};
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // Texts up to 1 MiB in one piece; larger incremental transfers are not supported.
    if (XGetWindowProperty(FDisplay, FSelectionWindow, FAtoms.SelectionProperty, 0, 1 << 18, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success)
    {
        return {};
    }
    std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
    if (!data || format != 8)
    {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(data), count);
}

} // namespace tumblet
