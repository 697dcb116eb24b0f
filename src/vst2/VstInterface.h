#pragma once

// The VST 2.4 binary interface as this plug-in sees it on x86_64 Linux: entry and callback
// types, the records exchanged with the host, opcodes and constants. Written for this project;
// every record's size and field offsets are checked at compile time below.

#include <cstddef>
#include <cstdint>

namespace tumblet
{

struct AEffect;

using audioMasterCallback = std::intptr_t (*)(AEffect* effect, std::int32_t opcode,
                                              std::int32_t index, std::intptr_t value, void* ptr,
                                              float opt);
using AEffectDispatcherProc = std::intptr_t (*)(AEffect* effect, std::int32_t opcode,
                                                std::int32_t index, std::intptr_t value, void* ptr,
                                                float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    std::int32_t sampleFrames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          std::int32_t sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, std::int32_t index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, std::int32_t index);

/// Four-character code with the first character in the most significant byte.
constexpr std::int32_t FourCC(char a, char b, char c, char d)
{
    return static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
        static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr std::int32_t kEffectMagic = FourCC('V', 's', 't', 'P');
constexpr std::int32_t kVstVersion = 2400;
constexpr std::int32_t kEffectIdentify = FourCC('N', 'v', 'E', 'f');
static_assert(kEffectMagic == 0x56737450);
static_assert(kEffectIdentify == 0x4E764566);
static_assert(FourCC('b', 'x', '0', '2') == 0x62783032);

struct AEffect
{
    std::int32_t magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    std::int32_t flags;
    std::intptr_t resvd1;
    std::intptr_t resvd2;
    std::int32_t initialDelay;
    std::int32_t realQualities;
    std::int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    std::int32_t uniqueID;
    std::int32_t version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

struct VstEvent
{
    std::int32_t type;
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    char data[16];
};

struct VstEvents
{
    std::int32_t numEvents;
    std::intptr_t reserved;
    VstEvent* events[2]; // really as long as numEvents
};

/// The events of a block. The record declares two slots, but a block really holds numEvents of
/// them; going through a pointer keeps bounds checkers from treating the two as the limit.
inline VstEvent** EventList(VstEvents& block)
{
    return block.events;
}
inline VstEvent* const* EventList(const VstEvents& block)
{
    return block.events;
}

struct VstMidiEvent
{
    std::int32_t type;
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t noteLength;
    std::int32_t noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysExEvent
{
    std::int32_t type;
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t dumpBytes;
    std::intptr_t resvd1;
    char* sysexDump;
    std::intptr_t resvd2;
};

struct VstTimeInfo
{
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    std::int32_t timeSigNumerator;
    std::int32_t timeSigDenominator;
    std::int32_t smpteOffset;
    std::int32_t smpteFrameRate;
    std::int32_t samplesToNextClock;
    std::int32_t flags;
};

struct ERect
{
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

struct VstPinProperties
{
    char label[64];
    std::int32_t flags;
    std::int32_t arrangementType;
    char shortLabel[8];
    char future[48];
};

struct VstParameterProperties
{
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    std::int32_t flags;
    std::int32_t minInteger;
    std::int32_t maxInteger;
    std::int32_t stepInteger;
    std::int32_t largeStepInteger;
    char shortLabel[8];
    std::int16_t displayIndex;
    std::int16_t category;
    std::int16_t numParametersInCategory;
    std::int16_t reserved;
    char categoryLabel[24];
    char future[16];
};

struct VstPatchChunkInfo
{
    std::int32_t version;
    std::int32_t pluginUniqueID;
    std::int32_t pluginVersion;
    std::int32_t numElements;
    char future[48];
};

struct VstKeyCode
{
    std::int32_t character;
    unsigned char virt;
    unsigned char modifier;
};

struct VstVariableIo
{
    float** inputs;
    float** outputs;
    std::int32_t numSamplesInput;
    std::int32_t numSamplesOutput;
    std::int32_t* numSamplesInputProcessed;
    std::int32_t* numSamplesOutputProcessed;
};

struct VstOfflineTask
{
    char processName[96];
    double readPosition;
    double writePosition;
    std::int32_t readCount;
    std::int32_t writeCount;
    std::int32_t sizeInputBuffer;
    std::int32_t sizeOutputBuffer;
    void* inputBuffer;
    void* outputBuffer;
    double positionToProcessFrom;
    double numFramesToProcess;
    double maxFramesToWrite;
    void* extraBuffer;
    std::int32_t value;
    std::int32_t index;
    double numFramesInSourceFile;
    double sourceSampleRate;
    double destinationSampleRate;
    std::int32_t numSourceChannels;
    std::int32_t numDestinationChannels;
    std::int32_t sourceFormat;
    std::int32_t destinationFormat;
    char outputText[512];
    double progress;
    std::int32_t progressMode;
    char progressText[100];
    std::int32_t flags;
    std::int32_t returnValue;
    void* hostOwned;
    void* plugOwned;
    char future[1024];
};

struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    std::int32_t type;
    char future[28];
};

struct VstSpeakerArrangement
{
    std::int32_t type;
    std::int32_t numChannels;
    VstSpeakerProperties speakers[8]; // really as long as numChannels
};

// Dispatcher opcodes (host to plug-in).
enum : std::int32_t
{
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels,
    kNumDispatcherOpcodes
};
static_assert(effGetChunk == 23 && effCanDo == 51 && effGetNumMidiOutputChannels == 79);

// audioMaster opcodes (plug-in to host).
enum : std::int32_t
{
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,
    audioMasterUnused5,
    audioMasterWantMidi,
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,
    audioMasterTempoAt,
    audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization,
    audioMasterIOChanged,
    audioMasterNeedIdle,
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,
    audioMasterGetNextPlug,
    audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,
    audioMasterGetOutputSpeakerArrangement,
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,
    audioMasterCloseWindow,
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit,
    audioMasterOpenFileSelector,
    audioMasterCloseFileSelector,
    audioMasterEditFile,
    audioMasterGetChunkFile,
    audioMasterGetInputSpeakerArrangement
};
static_assert(audioMasterGetTime == 7 && audioMasterCanDo == 37 &&
              audioMasterGetInputSpeakerArrangement == 49);

// AEffect.flags
enum : std::int32_t
{
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Event types.
enum : std::int32_t
{
    kVstMidiType = 1,
    kVstAudioType = 2,
    kVstVideoType = 3,
    kVstParameterType = 4,
    kVstTriggerType = 5,
    kVstSysExType = 6,
};
constexpr std::int32_t kVstMidiEventIsRealtime = 1;

// VstTimeInfo.flags and the audioMasterGetTime request mask.
enum : std::int32_t
{
    kVstTransportChanged = 1 << 0,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

// Pin and parameter property flags.
enum : std::int32_t
{
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};
enum : std::int32_t
{
    kVstParameterIsSwitch = 1,
    kVstParameterUsesIntegerMinMax = 2,
    kVstParameterUsesFloatStep = 4,
    kVstParameterUsesIntStep = 8,
    kVstParameterSupportsDisplayIndex = 16,
    kVstParameterSupportsDisplayCategory = 32,
    kVstParameterCanRamp = 64,
};

// Speaker arrangements used by the pin properties.
enum : std::int32_t
{
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
    kSpeakerArr40Music = 11,
};

// String limits (characters, without the terminating zero).
enum : std::int32_t
{
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxCategLabelLen = 24,
};

// Modifier bits passed in opt of effEditKeyDown/effEditKeyUp.
enum : std::int32_t
{
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_COMMAND = 4,
    MODIFIER_CONTROL = 8,
};

// Layout checks: a mismatch here would corrupt every exchange with the host.
static_assert(sizeof(AEffect) == 192);
static_assert(offsetof(AEffect, dispatcher) == 8 && offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24 && offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40 && offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48 && offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56 && offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72 && offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84 && offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92 && offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104 && offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116 && offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128 && offsetof(AEffect, future) == 136);

static_assert(sizeof(VstEvent) == 32 && offsetof(VstEvent, deltaFrames) == 8);
static_assert(offsetof(VstEvent, flags) == 12 && offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstEvents) == 32 && offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);

static_assert(sizeof(VstMidiEvent) == 32 && offsetof(VstMidiEvent, byteSize) == 4);
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8 && offsetof(VstMidiEvent, flags) == 12);
static_assert(offsetof(VstMidiEvent, noteLength) == 16 && offsetof(VstMidiEvent, noteOffset) == 20);
static_assert(offsetof(VstMidiEvent, midiData) == 24 && offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29);
static_assert(offsetof(VstMidiEvent, reserved1) == 30 && offsetof(VstMidiEvent, reserved2) == 31);

static_assert(sizeof(VstMidiSysExEvent) == 48 && offsetof(VstMidiSysExEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysExEvent, resvd1) == 24);
static_assert(offsetof(VstMidiSysExEvent, sysexDump) == 32);
static_assert(offsetof(VstMidiSysExEvent, resvd2) == 40);

static_assert(sizeof(VstTimeInfo) == 88 && offsetof(VstTimeInfo, sampleRate) == 8);
static_assert(offsetof(VstTimeInfo, nanoSeconds) == 16 && offsetof(VstTimeInfo, ppqPos) == 24);
static_assert(offsetof(VstTimeInfo, tempo) == 32 && offsetof(VstTimeInfo, barStartPos) == 40);
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48);
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68);
static_assert(offsetof(VstTimeInfo, smpteOffset) == 72);
static_assert(offsetof(VstTimeInfo, smpteFrameRate) == 76);
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80);
static_assert(offsetof(VstTimeInfo, flags) == 84);

static_assert(sizeof(ERect) == 8 && offsetof(ERect, left) == 2 && offsetof(ERect, bottom) == 4);
static_assert(offsetof(ERect, right) == 6);

static_assert(sizeof(VstPinProperties) == 128 && offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
static_assert(offsetof(VstPinProperties, future) == 80);

static_assert(sizeof(VstParameterProperties) == 152);
static_assert(offsetof(VstParameterProperties, smallStepFloat) == 4);
static_assert(offsetof(VstParameterProperties, largeStepFloat) == 8);
static_assert(offsetof(VstParameterProperties, label) == 12);
static_assert(offsetof(VstParameterProperties, flags) == 76);
static_assert(offsetof(VstParameterProperties, minInteger) == 80);
static_assert(offsetof(VstParameterProperties, maxInteger) == 84);
static_assert(offsetof(VstParameterProperties, stepInteger) == 88);
static_assert(offsetof(VstParameterProperties, largeStepInteger) == 92);
static_assert(offsetof(VstParameterProperties, shortLabel) == 96);
static_assert(offsetof(VstParameterProperties, displayIndex) == 104);
static_assert(offsetof(VstParameterProperties, category) == 106);
static_assert(offsetof(VstParameterProperties, numParametersInCategory) == 108);
static_assert(offsetof(VstParameterProperties, reserved) == 110);
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112);
static_assert(offsetof(VstParameterProperties, future) == 136);

static_assert(sizeof(VstPatchChunkInfo) == 64 && offsetof(VstPatchChunkInfo, numElements) == 12);
static_assert(offsetof(VstPatchChunkInfo, future) == 16);
static_assert(sizeof(VstKeyCode) == 8 && offsetof(VstKeyCode, virt) == 4);
static_assert(offsetof(VstKeyCode, modifier) == 5);
static_assert(sizeof(VstVariableIo) == 40 && offsetof(VstVariableIo, numSamplesInput) == 16);
static_assert(offsetof(VstVariableIo, numSamplesOutputProcessed) == 32);
static_assert(sizeof(VstOfflineTask) == 1896 && offsetof(VstOfflineTask, readPosition) == 96);
static_assert(offsetof(VstOfflineTask, inputBuffer) == 128);
static_assert(offsetof(VstOfflineTask, value) == 176);
static_assert(offsetof(VstOfflineTask, outputText) == 224);
static_assert(offsetof(VstOfflineTask, progressText) == 748);
static_assert(offsetof(VstOfflineTask, hostOwned) == 856);
static_assert(offsetof(VstOfflineTask, future) == 872);
static_assert(sizeof(VstSpeakerProperties) == 112 && offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(sizeof(VstSpeakerArrangement) == 904);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);

} // namespace tumblet
