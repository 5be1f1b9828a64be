// Arbitrary bytes through the channel's decoder: it never reads past a frame, and every message
// it yields encodes back to the very bytes of its frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/channel_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first byte chooses the size of the pieces fed, so frames arrive split anywhere.
    const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 64;
    vgx::ChannelDecoder decoder;
    std::size_t frameStart = 0;
    for (std::size_t at = 0; at < size; at += piece) {
        decoder.Feed(input.substr(at, piece));
        vgx::ChannelMessage m;
        vgx::ChannelDecoder::Result r;
        while ((r = decoder.Next(m)) == vgx::ChannelDecoder::Result::Message) {
            const std::string frame = vgx::EncodeChannelMessage(m);
            if (input.substr(frameStart, frame.size()) != frame)
                std::abort();
            frameStart += frame.size();
        }
        if (r == vgx::ChannelDecoder::Result::Broken)
            break;
    }
    return 0;
}
