#pragma once

// Owning handles for the FFmpeg objects the decoding layer uses, each freed with FFmpeg's own
// free function.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace oskel::ffmpeg {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

struct FormatContextClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextClose>;

// A reader made with avio_alloc_context: its buffer may have been replaced by FFmpeg, so the
// current one is freed, then the context.
struct IoContextFree {
    void operator()(AVIOContext* context) const
    {
        if (context != nullptr) {
            av_freep(&context->buffer);
        }
        avio_context_free(&context);
    }
};
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;

struct SwsContextFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextFree>;

struct SwrContextFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextFree>;

} // namespace oskel::ffmpeg
