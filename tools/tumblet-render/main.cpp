// tumblet-render: an offline VST 2.4 host that plays a chord or a MIDI file into a MIDI plug-in
// under a simulated transport and writes what comes out (see --help).

#include "OptionParser.h"
#include "RenderError.h"
#include "RenderSession.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace tumblet;
    try
    {
        const TRenderOptions options =
            TOptionParser::Parse(std::vector<std::string>(argv + 1, argv + argc));
        if (options.Help)
        {
            std::cout << TOptionParser::UsageText();
            return 0;
        }
        TRenderSession session(options, std::cout, std::cerr);
        session.Run();
        std::cout.flush();
        return 0;
    }
    catch (const TRenderError& error)
    {
        std::cerr << "tumblet-render: " << error.what() << '\n';
        return error.ExitStatus();
    }
    catch (const std::exception& error)
    {
        std::cerr << "tumblet-render: " << error.what() << '\n';
        return 1;
    }
}
