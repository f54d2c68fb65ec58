/*
 * freeframe.h: the effect plug-in interface of oskel3, a FreeFrame 1.0 style interface for
 * 64-bit (and 32-bit) systems.
 *
 * Licence: this one file is placed in the public domain. Copy it into your plug-in, change
 * it, ship it under any licence you like; no attribution is needed. (The rest of oskel3 is
 * under the licence in its LICENSE file; this header is deliberately outside it so that
 * plug-ins of any licence can be written against it.)
 *
 * A plug-in is a shared object (".so") that exports one C function, plugMain:
 *
 *     plugMainUnion plugMain(uint32_t functionCode, FFParameter input, FFInstanceID instance);
 *
 * The classic FreeFrame 1.0 entry point passes its input and instance id as 32-bit values,
 * which cuts pointers in half on a 64-bit system. Here both are pointer-wide integers and
 * the result is a pointer-wide union, so a plug-in written for FreeFrame 1.0 compiles
 * against this header with no change beyond its own integer types (DWORD becomes uint32_t,
 * the input and instance id become FFParameter and FFInstanceID).
 *
 * Frames are packed rows, bottom row first, of 3 bytes (blue, green, red) or 4 bytes (blue,
 * green, red, unused) per pixel, as chosen by the bit depth of the VideoInfoStruct given to
 * FF_INSTANTIATE. Processing is in place. Parameter values are floats 0..1.
 *
 * Calls on one instance never overlap; calls on different instances of one plug-in may run
 * at the same time on different threads.
 */
#ifndef OSKEL_FREEFRAME_H
#define OSKEL_FREEFRAME_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Function codes: the first argument of plugMain. */
#define FF_GETINFO 0 /* -> PlugInfoStruct* */
#define FF_INITIALISE 1 /* once per loaded library -> FF_SUCCESS / FF_FAIL */
#define FF_DEINITIALISE 2 /* when the host lets the library go -> FF_SUCCESS / FF_FAIL */
#define FF_PROCESSFRAME 3 /* input: frame pointer; instance -> FF_SUCCESS / FF_FAIL */
#define FF_GETNUMPARAMETERS 4 /* -> count */
#define FF_GETPARAMETERNAME 5 /* input: index -> char[16], not necessarily terminated */
#define FF_GETPARAMETERDEFAULT 6 /* reserved: input: index -> fvalue */
#define FF_GETPARAMETERDISPLAY 7 /* input: index; instance -> char[16] */
#define FF_SETPARAMETER 8 /* input: SetParameterStruct*; instance -> FF_SUCCESS / FF_FAIL */
#define FF_GETPARAMETER 9 /* input: index; instance -> fvalue */
#define FF_GETPLUGINCAPS 10 /* input: capability -> FF_TRUE / FF_FALSE */
#define FF_INSTANTIATE 11 /* input: VideoInfoStruct* -> instance id, FF_FAIL on failure */
#define FF_DEINSTANTIATE 12 /* instance -> FF_SUCCESS / FF_FAIL */
#define FF_GETEXTENDEDINFO 13 /* -> PlugExtendedInfoStruct*, or 0 / FF_FAIL when none */
#define FF_PROCESSFRAMECOPY 14 /* input: ProcessFrameCopyStruct*; instance -> FF_SUCCESS */
#define FF_GETPARAMETERTYPE 15 /* reserved: input: index -> type */

/* Results. */
#define FF_SUCCESS 0u
#define FF_FAIL 0xFFFFFFFFu
#define FF_TRUE 1u
#define FF_FALSE 0u

/* Capabilities asked with FF_GETPLUGINCAPS. */
#define FF_CAP_16BITVIDEO 0
#define FF_CAP_24BITVIDEO 1
#define FF_CAP_32BITVIDEO 2
#define FF_CAP_PROCESSFRAMECOPY 3

/* Bit depths of VideoInfoStruct. */
#define FF_DEPTH_16 0
#define FF_DEPTH_24 1
#define FF_DEPTH_32 2

/* Orientations of VideoInfoStruct. */
#define FF_ORIENTATION_TL 1 /* top row first */
#define FF_ORIENTATION_BL 2 /* bottom row first ("upside down"): what the host sends */

/* Plug-in types of PlugInfoStruct. */
#define FF_EFFECT 0
#define FF_SOURCE 1

typedef uintptr_t FFParameter;
typedef uintptr_t FFInstanceID;

typedef struct PlugInfoStructTag {
    uint32_t APIMajorVersion;
    uint32_t APIMinorVersion;
    char uniqueID[4]; /* not terminated */
    char pluginName[16]; /* not necessarily terminated */
    uint32_t pluginType; /* FF_EFFECT or FF_SOURCE */
} PlugInfoStruct;

typedef struct PlugExtendedInfoStructTag {
    uint32_t PluginMajorVersion;
    uint32_t PluginMinorVersion;
    char* Description;
    char* About;
    uint32_t FreeFrameExtendedDataSize;
    void* FreeFrameExtendedDataBlock;
} PlugExtendedInfoStruct;

typedef struct VideoInfoStructTag {
    uint32_t frameWidth;
    uint32_t frameHeight;
    uint32_t bitDepth; /* FF_DEPTH_... */
    uint32_t orientation; /* FF_ORIENTATION_... */
} VideoInfoStruct;

typedef struct SetParameterStructTag {
    uint32_t index;
    float value;
} SetParameterStruct;

typedef struct ProcessFrameCopyStructTag {
    uint32_t numInputFrames;
    void** InputFrames;
    void* OutputFrame;
} ProcessFrameCopyStruct;

/* The result of plugMain: a 32-bit code or value, a float, or a pointer. */
typedef union plugMainUnionTag {
    uint32_t ivalue;
    float fvalue;
    void* pointer;
    char* svalue;
    VideoInfoStruct* VISvalue;
    PlugInfoStruct* PISvalue;
    PlugExtendedInfoStruct* PESvalue;
    uintptr_t instance; /* FF_INSTANTIATE: the new instance id */
} plugMainUnion;

typedef plugMainUnion (*FF_Main_FuncPtr)(
    uint32_t functionCode, FFParameter input, FFInstanceID instance);

#if defined(__GNUC__)
#define FF_EXPORT __attribute__((visibility("default")))
#else
#define FF_EXPORT
#endif

/* What a plug-in defines. */
FF_EXPORT plugMainUnion plugMain(uint32_t functionCode, FFParameter input, FFInstanceID instance);

#ifdef __cplusplus
}
#endif

#endif /* OSKEL_FREEFRAME_H */
