#include "encoding/encoder_factory.h"

#include "encoding/ape_encoder.h"
#include "encoding/encoder_exception.h"
#include "encoding/flac_encoder.h"
#include "encoding/mp3_encoder.h"
#include "encoding/ogg_encoder.h"
#include "encoding/presets.h"
#include "encoding/wave_encoder.h"
#include "encoding/wma_encoder.h"

namespace tesslow {

std::unique_ptr<Encoder> CreateEncoder(const EncoderRequest& request)
{
    std::unique_ptr<Encoder> encoder;
    switch (request.format) {
    case FormatCode::Wav:
        encoder = std::make_unique<CWaveEncoder>(request);
        break;
    case FormatCode::Ogg:
        encoder = std::make_unique<COGGEncoder>(request);
        break;
    case FormatCode::Flac:
        encoder = std::make_unique<CFLACEncoder>(request);
        break;
    case FormatCode::Mp3:
        encoder = std::make_unique<CMP3Encoder>(request);
        break;
    case FormatCode::Ape:
        encoder = std::make_unique<CAPEEncoder>(request);
        break;
    case FormatCode::Wma:
        encoder = std::make_unique<CWmaEncoder>(request);
        break;
    default:
        throw EncoderException("encoder not available");
    }
    encoder->sampleRate = 44100;
    encoder->channels = 2;
    encoder->bitsPerSample = 16;
    if (request.format != FormatCode::Wav) {
        encoder->tags = request.tags;
        encoder->trackIndex = request.trackIndex;
        encoder->trackNumber = request.trackNumber.value_or(request.trackIndex + 1);
        if (request.format != FormatCode::Wav) encoder->cover = request.cover;
    }
    return encoder;
}

std::string TargetExtension(FormatCode format)
{
    const FormatInfo* info = FindFormat(format);
    if (!info) throw EncoderException("unknown target format");
    return info->extension;
}

}  // namespace tesslow
