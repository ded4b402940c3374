/*
 * The BladeEnc-style interface of the lame_enc module: six C entry points and
 * the stream configuration record they take. The module exports them; the MP3
 * encoder resolves them with dlsym. Both include this header, so the record's
 * layout is fixed in one place and checked at compile time.
 *
 * Calling order for one file: beInitStream, then beEncodeChunk any number of
 * times with at most the sample count beInitStream returned, beDeinitStream
 * once to flush, then (after the caller has closed its file) beWriteInfoTag or
 * beWriteInfoTagW, and finally beCloseStream, which is the only call that
 * releases a stream. Every call returns BE_ERR_SUCCESSFUL (0) or an error code;
 * an unknown stream handle gives BE_ERR_INVALID_HANDLE, and no call ever
 * throws or prints. Streams are independent of each other; the calls for one
 * stream come from one thread at a time.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t BE_ERR;
typedef uint32_t HBE_STREAM; /* 0 is never a valid stream */

#define BE_ERR_SUCCESSFUL 0u
#define BE_ERR_INVALID_FORMAT 1u            /* dwConfig is not BE_CONFIG_LAME */
#define BE_ERR_INVALID_FORMAT_PARAMETERS 2u /* a value the library refuses */
#define BE_ERR_NO_MORE_HANDLES 3u
#define BE_ERR_INVALID_HANDLE 4u
#define BE_ERR_BUFFER_TOO_SMALL 5u

#define BE_CONFIG_LAME 256u
#define BE_CONFIG_STRUCT_VERSION 1u

#define BE_MP3_MODE_STEREO 0
#define BE_MP3_MODE_JSTEREO 1
#define BE_MP3_MODE_DUALCHANNEL 2
#define BE_MP3_MODE_MONO 3

#define BE_MPEG1 1u
#define BE_MPEG2 0u

/*
 * Preset codes of nPreset. Each selects the library's preset of the same
 * name; LQP_ABR takes its average rate from dwVbrAbr_bps, LQP_CBR its constant
 * rate from dwBitrate. A preset chooses its own stereo coding: nMode then only
 * forces mono. LQP_NOPRESET and LQP_NORMAL_QUALITY use nMode, dwBitrate and
 * the VBR fields as they are.
 */
#define LQP_NOPRESET (-1)
#define LQP_NORMAL_QUALITY 0
#define LQP_STANDARD 6
#define LQP_FAST_STANDARD 7
#define LQP_EXTREME 8
#define LQP_FAST_EXTREME 9
#define LQP_INSANE 10
#define LQP_ABR 11
#define LQP_CBR 12
#define LQP_MEDIUM 13
#define LQP_FAST_MEDIUM 14

/* nVbrMethod, used with bEnableVBR when no preset is chosen. */
#define VBR_METHOD_NONE (-1)
#define VBR_METHOD_DEFAULT 0
#define VBR_METHOD_OLD 1
#define VBR_METHOD_NEW 2
#define VBR_METHOD_MTRH 3
#define VBR_METHOD_ABR 4

/*
 * The stream configuration in its LAME header version 1 form: 331 bytes,
 * packed, little-endian. Fill it with zeros, then set dwConfig, the version,
 * the size and the fields wanted; a zero field means "library default".
 */
#pragma pack(push, 1)
typedef struct BE_CONFIG {
    uint32_t dwConfig;        /* BE_CONFIG_LAME */
    uint32_t dwStructVersion; /* BE_CONFIG_STRUCT_VERSION */
    uint32_t dwStructSize;    /* sizeof(BE_CONFIG) */
    uint32_t dwSampleRate;    /* input rate in Hz */
    uint32_t dwReSampleRate;  /* output rate in Hz, 0: the library decides */
    int32_t nMode;            /* BE_MP3_MODE_... */
    uint32_t dwBitrate;       /* constant rate (LQP_CBR, no preset) or VBR minimum, kbit/s */
    uint32_t dwMaxBitrate;    /* VBR maximum, kbit/s */
    int32_t nPreset;          /* LQP_... */
    uint32_t dwMpegVersion;   /* BE_MPEG1 or BE_MPEG2; the sample rate decides */
    uint32_t dwPsyModel;      /* unused */
    uint32_t dwEmphasis;      /* unused */
    int32_t bPrivate;         /* private bit of every frame header */
    int32_t bCRC;             /* CRC protection of every frame */
    int32_t bCopyright;       /* copyright bit */
    int32_t bOriginal;        /* original bit */
    int32_t bWriteVBRHeader;  /* reserve the first frame for the information header */
    int32_t bEnableVBR;       /* variable bit rate when no preset is chosen */
    int32_t nVBRQuality;      /* 0 (best) .. 9 */
    uint32_t dwVbrAbr_bps;    /* average rate in bit/s (LQP_ABR; ABR when no preset) */
    int32_t nVbrMethod;       /* VBR_METHOD_... */
    int32_t bNoRes;           /* disable the bit reservoir */
    int32_t bStrictIso;       /* follow the ISO limits strictly */
    uint16_t nQuality;        /* low byte: algorithm quality 0..9, high byte: its complement */
    uint8_t btReserved[237];
} BE_CONFIG;
#pragma pack(pop)

#ifdef __cplusplus
#define BE_STATIC_ASSERT(condition, text) static_assert(condition, text)
#else
#define BE_STATIC_ASSERT(condition, text) _Static_assert(condition, text)
#endif

BE_STATIC_ASSERT(sizeof(BE_CONFIG) == 331, "BE_CONFIG is 331 bytes");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwConfig) == 0, "dwConfig at 0");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwStructVersion) == 4, "dwStructVersion at 4");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwStructSize) == 8, "dwStructSize at 8");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwSampleRate) == 12, "dwSampleRate at 12");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwReSampleRate) == 16, "dwReSampleRate at 16");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nMode) == 20, "nMode at 20");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwBitrate) == 24, "dwBitrate at 24");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwMaxBitrate) == 28, "dwMaxBitrate at 28");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nPreset) == 32, "nPreset at 32");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwMpegVersion) == 36, "dwMpegVersion at 36");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bPrivate) == 48, "bPrivate at 48");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bOriginal) == 60, "bOriginal at 60");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bWriteVBRHeader) == 64, "bWriteVBRHeader at 64");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bEnableVBR) == 68, "bEnableVBR at 68");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nVBRQuality) == 72, "nVBRQuality at 72");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwVbrAbr_bps) == 76, "dwVbrAbr_bps at 76");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nVbrMethod) == 80, "nVbrMethod at 80");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nQuality) == 92, "nQuality at 92");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, btReserved) == 94, "btReserved at 94");

#ifndef BE_API
#define BE_API
#endif

/* Opens a stream. *samples receives the 16-bit sample count (all channels
 * together) each beEncodeChunk call should pass, *bufferSize the output buffer
 * size every call needs, *stream the handle. */
BE_API BE_ERR beInitStream(const BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream);

/* Encodes `samples` 16-bit samples (interleaved for stereo, at most the count
 * beInitStream returned) into output; *outputBytes receives the bytes produced
 * (0 on failure). */
BE_API BE_ERR beEncodeChunk(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output,
                            uint32_t* outputBytes);

/* Flushes the last frames into output; *outputBytes receives their size. */
BE_API BE_ERR beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes);

/* Releases the stream. */
BE_API BE_ERR beCloseStream(HBE_STREAM stream);

/* Rewrites the first frame of the finished, closed file at `path` (after an
 * ID3v2 tag, if the file starts with one) with the library's information
 * header, when the stream was opened with bWriteVBRHeader; otherwise leaves
 * the file alone. Opens and closes the file itself. */
BE_API BE_ERR beWriteInfoTag(HBE_STREAM stream, const char* path);

/* The same with a wide-character path (UTF-32 here), converted to UTF-8. */
BE_API BE_ERR beWriteInfoTagW(HBE_STREAM stream, const wchar_t* path);

/* Pointer types for resolving the entry points at run time. */
typedef BE_ERR (*BE_INIT_STREAM)(const BE_CONFIG*, uint32_t*, uint32_t*, HBE_STREAM*);
typedef BE_ERR (*BE_ENCODE_CHUNK)(HBE_STREAM, uint32_t, const int16_t*, uint8_t*, uint32_t*);
typedef BE_ERR (*BE_DEINIT_STREAM)(HBE_STREAM, uint8_t*, uint32_t*);
typedef BE_ERR (*BE_CLOSE_STREAM)(HBE_STREAM);
typedef BE_ERR (*BE_WRITE_INFO_TAG)(HBE_STREAM, const char*);
typedef BE_ERR (*BE_WRITE_INFO_TAG_W)(HBE_STREAM, const wchar_t*);

/* File name of the module inside the application folder. */
#define LAME_ENC_MODULE_NAME "lame_enc.so"

#ifdef __cplusplus
}
#endif
