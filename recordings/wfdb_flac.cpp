#include "recordings/wfdb_flac.h"

#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

struct DecoderDeleter {
  void operator()(FLAC__StreamDecoder* decoder) const { FLAC__stream_decoder_delete(decoder); }
};
struct EncoderDeleter {
  void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};

// What the decoder's callbacks gather: the chosen channel, and the first
// fault met.
struct ChannelSink {
  unsigned channels;
  unsigned bits;
  std::size_t channel;
  std::size_t limit;
  std::vector<std::int32_t> samples;
  std::string fault;
};

FLAC__StreamDecoderWriteStatus takeFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                         const FLAC__int32* const buffer[], void* data) {
  auto& sink = *static_cast<ChannelSink*>(data);
  if (frame->header.channels != sink.channels || frame->header.bits_per_sample != sink.bits) {
    sink.fault = "the FLAC stream holds " + std::to_string(frame->header.channels) +
                 " channels of " + std::to_string(frame->header.bits_per_sample) +
                 " bits, the header describes " + std::to_string(sink.channels) + " of " +
                 std::to_string(sink.bits);
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  const FLAC__int32* samples = buffer[sink.channel];
  const std::size_t wanted =
      std::min<std::size_t>(frame->header.blocksize, sink.limit - sink.samples.size());
  sink.samples.insert(sink.samples.end(), samples, samples + wanted);
  return sink.samples.size() < sink.limit ? FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE
                                          : FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
}

std::string faultText(FLAC__StreamDecoderErrorStatus status) {
  switch (status) {
    case FLAC__STREAM_DECODER_ERROR_STATUS_LOST_SYNC:
      return "it lost sync";
    case FLAC__STREAM_DECODER_ERROR_STATUS_BAD_HEADER:
      return "a frame header is bad";
    case FLAC__STREAM_DECODER_ERROR_STATUS_FRAME_CRC_MISMATCH:
      return "a frame's checksum does not match";
    default:
      return "it cannot be parsed";
  }
}

// A stream that loses sync before its first sample is no FLAC stream at all.
void noteError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status, void* data) {
  auto& sink = *static_cast<ChannelSink*>(data);
  if (!sink.fault.empty()) return;
  if (sink.samples.empty() && status == FLAC__STREAM_DECODER_ERROR_STATUS_LOST_SYNC) {
    sink.fault = "the signal file is no FLAC stream";
  } else {
    sink.fault = "the FLAC stream is damaged: " + faultText(status);
  }
}

}  // namespace

std::vector<std::int32_t> readWfdbFlacChannel(const std::string& path, unsigned channels,
                                              unsigned bits, std::size_t channel,
                                              std::size_t limit) {
  const std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter> decoder(FLAC__stream_decoder_new());
  if (!decoder) throw RecordingError(path, "cannot start a FLAC decoder");
  ChannelSink sink{channels, bits, channel, limit, {}, {}};
  const auto status = FLAC__stream_decoder_init_file(decoder.get(), path.c_str(), takeFrame,
                                                     nullptr, noteError, &sink);
  if (status != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    throw RecordingError(path, "cannot open the signal file as a FLAC stream");
  }
  const bool read = FLAC__stream_decoder_process_until_end_of_stream(decoder.get());
  if (!sink.fault.empty()) throw RecordingError(path, sink.fault);
  if (sink.samples.size() >= limit) return std::move(sink.samples);
  if (!read ||
      FLAC__stream_decoder_get_state(decoder.get()) != FLAC__STREAM_DECODER_END_OF_STREAM) {
    throw RecordingError(path, "the signal file is no FLAC stream");
  }
  return std::move(sink.samples);
}

void writeWfdbFlacFile(const std::filesystem::path& path, int format,
                       std::span<const std::vector<std::int32_t>> channels) {
  const std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder(FLAC__stream_encoder_new());
  if (!encoder || channels.empty()) throw std::runtime_error("cannot encode " + path.string());
  FLAC__stream_encoder_set_channels(encoder.get(), static_cast<unsigned>(channels.size()));
  FLAC__stream_encoder_set_bits_per_sample(encoder.get(),
                                           static_cast<unsigned>(wfdbFlacBits(format)));
  FLAC__stream_encoder_set_sample_rate(encoder.get(), 96000);
  if (FLAC__stream_encoder_init_file(encoder.get(), path.c_str(), nullptr, nullptr) !=
      FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
    throw std::runtime_error("cannot write " + path.string());
  }
  const std::size_t length = channels.front().size();
  std::vector<const FLAC__int32*> buffers;
  for (const auto& channel : channels) buffers.push_back(channel.data());
  const bool written =
      FLAC__stream_encoder_process(encoder.get(), buffers.data(), static_cast<unsigned>(length));
  if (!FLAC__stream_encoder_finish(encoder.get()) || !written) {
    throw std::runtime_error("cannot encode " + path.string());
  }
}

}  // namespace rrscope::recordings
