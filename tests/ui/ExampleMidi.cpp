#include "tests/ui/ExampleMidi.h"

#include "job/ConversionJob.h"
#include "testing/PreviewWait.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korvane {

std::vector<uint8_t> ExampleMidiBytes() {
    std::vector<uint8_t> bytes = {
        'M',  'T',  'h',  'd',  0x00, 0x00, 0x00, 0x06,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x60,             // header
        'M',  'T',  'r',  'k',  0x00, 0x00, 0x00, 0x4E, // 78 bytes
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,       // tempo 500000 us per quarter
        0x00, 0xC0, 0x00,                               // piano
    };
    for (const uint8_t key : {0x3C, 0x3E, 0x40, 0x41, 0x43, 0x45, 0x47, 0x48}) {
        // Note On now, Note Off a quarter (0x60 ticks) later.
        bytes.insert(bytes.end(), {0x00, 0x90, key, 0x64, 0x60, 0x80, key, 0x40});
    }
    bytes.insert(bytes.end(), {0x00, 0xFF, 0x2F, 0x00});
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ConversionOutcome SaveAtSpeed(const std::string& input, const std::string& output,
                              int speedPercent) {
    ConversionRequest request{.inputPath = input, .outputPath = output, .output = OutputTo::File};
    request.adjustments.m_speedPercent = speedPercent;
    return ConversionJob().RunConversion(request);
}

std::vector<uint8_t> ExamplePreview(const std::string& input, int speedPercent, int volume) {
    PreviewRequest request;
    request.inputPath = input;
    request.adjustments.m_speedPercent = speedPercent;
    request.adjustments.m_volume = volume;
    request.memoryLimit = 1 << 20;
    const PreviewResult result = ConvertPreview(request);
    if (result.status != PreviewResult::Status::Ready) {
        throw std::runtime_error("no preview of " + input);
    }
    return *result.preview;
}

void Advance(FluidSession& session, double seconds) {
    constexpr int kBlock = 64;
    std::vector<float> left(kBlock);
    std::vector<float> right(kBlock);
    const auto blocks = static_cast<long>(seconds * session.SampleRate() / kBlock);
    for (long i = 0; i < blocks; ++i) {
        session.Render(kBlock, left.data(), right.data());
    }
}

} // namespace korvane
