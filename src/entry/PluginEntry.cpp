// The VST 2.4 library's only exported symbols: the entry under its two names.

#include "entry/ProductFactory.h"

extern "C" __attribute__((visibility("default"))) tumblet::AEffect*
VSTPluginMain(tumblet::audioMasterCallback audioMaster)
{
    return tumblet::CreateProductEffect(audioMaster);
}

// Hosts look the entry up under either name. C++ forbids a function called main that does not
// return int, so the second name is given as an assembler label.
extern "C" __attribute__((visibility("default"))) tumblet::AEffect*
VstMainAlias(tumblet::audioMasterCallback audioMaster) asm("main");

extern "C" tumblet::AEffect* VstMainAlias(tumblet::audioMasterCallback audioMaster)
{
    return tumblet::CreateProductEffect(audioMaster);
}
