// Writes the LV2 bundle's Turtle files from the product's own description, so that the ports,
// ranges, defaults and value names can never drift from the module's parameter table.
// Usage: tumblet_lv2_ttl BUNDLE_DIR PLUGIN_BINARY UI_BINARY

#include "entry/ProductDescription.h"
#include "lv2/Lv2Instance.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

namespace tumblet
{
namespace
{

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Number(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(9);
    out << std::fixed << value;
    std::string text = out.str();
    // Turtle decimals: no trailing zeros beyond the first decimal.
    while (text.size() > 2 && text.back() == '0' && text[text.size() - 2] != '.')
        text.pop_back();
    return text;
}

const char* kPrefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix opts: <http://lv2plug.in/ns/ext/options#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix time: <http://lv2plug.in/ns/ext/time#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

/// Room for the arpeggio's events of one block, in bytes.
constexpr int kMidiOutMinimumSize = 65536;

void WritePort(std::ostream& out, const TProductParameter& p, std::uint32_t index)
{
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n";
    out << "        lv2:index " << index << " ;\n";
    out << "        lv2:symbol " << Quoted(p.Symbol) << " ;\n";
    out << "        lv2:name " << Quoted(p.Name) << " ;\n";
    out << "        lv2:default " << Number(p.Default) << " ;\n";
    out << "        lv2:minimum " << Number(p.Min) << " ;\n";
    out << "        lv2:maximum " << Number(p.Max);
    switch (p.Kind)
    {
    case TProductParameterKind::Toggle:
        out << " ;\n        lv2:portProperty lv2:integer , lv2:toggled";
        break;
    case TProductParameterKind::Enumeration:
        out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
        for (std::size_t i = 0; i < p.ScalePoints.size(); ++i)
        {
            out << (i == 0 ? " ;\n        lv2:scalePoint " : " , ");
            out << "[\n            rdfs:label " << Quoted(p.ScalePoints[i].Label)
                << " ;\n            rdf:value " << Number(p.ScalePoints[i].Value) << "\n        ]";
        }
        break;
    case TProductParameterKind::Integer:
        out << " ;\n        lv2:portProperty lv2:integer";
        break;
    }
    out << "\n    ]";
}

void WritePlugin(std::ostream& out, const TProductDescription& d)
{
    out << kPrefixes;
    out << "<" << kLv2PluginUri << ">\n";
    out << "    a lv2:Plugin , lv2:MIDIPlugin ;\n";
    out << "    doap:name " << Quoted(d.Name) << " ;\n";
    out << "    lv2:project [\n        a doap:Project ;\n        doap:name " << Quoted(d.Name)
        << " ;\n        doap:maintainer [ foaf:name " << Quoted(d.Vendor) << " ]\n    ] ;\n";
    out << "    lv2:requiredFeature urid:map ;\n";
    out << "    lv2:optionalFeature lv2:hardRTCapable , opts:options , bufsz:boundedBlockLength "
           ";\n";
    out << "    opts:supportedOption bufsz:maxBlockLength ;\n";
    out << "    lv2:extensionData state:interface ;\n";
    out << "    ui:ui <" << kLv2UiUri << "> ;\n";
    out << "    lv2:port [\n";
    out << "        a lv2:InputPort , atom:AtomPort ;\n";
    out << "        atom:bufferType atom:Sequence ;\n";
    out << "        atom:supports midi:MidiEvent , time:Position ;\n";
    out << "        lv2:designation lv2:control ;\n";
    out << "        lv2:index " << kLv2MidiInPort << " ;\n";
    out << "        lv2:symbol \"midi_in\" ;\n";
    out << "        lv2:name \"MIDI In\"\n    ] , [\n";
    out << "        a lv2:OutputPort , atom:AtomPort ;\n";
    out << "        atom:bufferType atom:Sequence ;\n";
    out << "        atom:supports midi:MidiEvent ;\n";
    out << "        rsz:minimumSize " << kMidiOutMinimumSize << " ;\n";
    out << "        lv2:index " << kLv2MidiOutPort << " ;\n";
    out << "        lv2:symbol \"midi_out\" ;\n";
    out << "        lv2:name \"MIDI Out\"\n    ]";
    std::uint32_t index = kLv2FirstParameterPort;
    for (const TProductParameter& p : d.Parameters)
    {
        out << " ,\n";
        WritePort(out, p, index++);
    }
    out << " .\n\n";
    out << "<" << kLv2UiUri << ">\n";
    out << "    a ui:X11UI ;\n";
    out << "    lv2:requiredFeature <http://lv2plug.in/ns/ext/instance-access> , ui:parent , "
           "ui:idleInterface ;\n";
    out << "    lv2:optionalFeature ui:resize , opts:options , urid:map ;\n";
    out << "    opts:supportedOption ui:scaleFactor ;\n";
    out << "    lv2:extensionData ui:idleInterface .\n";
}

void WriteManifest(std::ostream& out, const std::string& plugin, const std::string& ui)
{
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n";
    out << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n";
    out << "<" << kLv2PluginUri << ">\n    a lv2:Plugin ;\n";
    out << "    lv2:binary <" << plugin << "> ;\n    rdfs:seeAlso <Tumblet.ttl> .\n\n";
    out << "<" << kLv2UiUri << ">\n    a ui:X11UI ;\n";
    out << "    ui:binary <" << ui << "> ;\n    rdfs:seeAlso <Tumblet.ttl> .\n";
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file)
        std::fprintf(stderr, "tumblet_lv2_ttl: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

} // namespace
} // namespace tumblet

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: tumblet_lv2_ttl BUNDLE_DIR PLUGIN_BINARY UI_BINARY\n");
        return 2;
    }
    try
    {
        const std::string bundle = argv[1];
        std::ostringstream plugin;
        tumblet::WritePlugin(plugin, tumblet::DescribeProduct());
        std::ostringstream manifest;
        tumblet::WriteManifest(manifest, argv[2], argv[3]);
        const bool ok = tumblet::WriteFile(bundle + "/Tumblet.ttl", plugin.str()) &&
                        tumblet::WriteFile(bundle + "/manifest.ttl", manifest.str());
        return ok ? 0 : 1;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "tumblet_lv2_ttl: %s\n", e.what());
        return 1;
    }
}
