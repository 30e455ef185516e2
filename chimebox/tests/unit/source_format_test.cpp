#include <gtest/gtest.h>
#include <hostkit/wave_files.h>
#include <testkit/case_name.h>
#include <testkit/hostile_formats.h>

#include "source_format.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

using namespace hostkit::riff;
namespace wave = hostkit::wave;
namespace hostile = testkit::wave::hostile;

HRESULT checkFile(const Bytes& file) {
    FormatAndAudio parsed;
    if (const HRESULT read = parseFormatAndAudio(file, parsed); failed(read)) {
        return read;
    }
    return checkSourceFormat(parsed.waveFormat);
}

class HostileFormat : public ::testing::TestWithParam<testkit::wave::HostileFormat> {};

// Refused by the format check when the play's message names the voice, else by the buffer
// check; what only FAudio cannot take passes both.
TEST_P(HostileFormat, IsRefusedAtItsStepWhereDocumentedAndPassedOnOtherwise) {
    WaveFileData data;
    ASSERT_EQ(describeWave(GetParam().file, data), kOk);
    const bool atVoice = GetParam().refusal == testkit::wave::kRefusedVoice;
    const HRESULT format = checkSourceFormat(data.waveFormat);
    EXPECT_EQ(format, GetParam().documented && atVoice ? kInvalidCall : kOk);
    if (!failed(format)) {
        EXPECT_EQ(checkSourceBuffer(data), GetParam().documented ? kInvalidCall : kOk);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileFormat, ::testing::ValuesIn(testkit::wave::hostileFormats()),
                         testkit::CaseName{});

struct LoadedCase {
    const char* name;
    Bytes file;
};

class AcceptedBuffer : public ::testing::TestWithParam<LoadedCase> {};

TEST_P(AcceptedBuffer, ReachesTheEngine) {
    WaveFileData data;
    ASSERT_EQ(describeWave(GetParam().file, data), kOk);
    EXPECT_EQ(checkSourceFormat(data.waveFormat), kOk);
    EXPECT_EQ(checkSourceBuffer(data), kOk);
}

// The edges of what is valid: a loop to the last frame, whole ADPCM blocks, an xWMA packet
// table with equal steps.
INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedBuffer,
    ::testing::Values(LoadedCase{"PcmLoopToTheLastFrame", hostile::pcmLooped(0, 1023)},
                      LoadedCase{"PcmLoopOfTheLastFrame", hostile::pcmLooped(1023, 1023)},
                      LoadedCase{"AdpcmLoopOfWholeBlocks",
                                 hostile::adpcmLooped("smpl", smplBody({{0, 3500, 3999}}))},
                      LoadedCase{"AdpcmWsmpLoopOfWholeBlocks",
                                 hostile::adpcmLooped("wsmp", wsmpBody({{0, 500, 1000}}))},
                      LoadedCase{"XwmaOnePacket", hostile::xwma(hostile::wmaFormat(0x0161, 1, 16),
                                                                hostile::packetTable({4096}))},
                      LoadedCase{"WmaProStereo",
                                 hostile::xwma(hostile::wmaFormat(0x0162, 2, 16),
                                               hostile::packetTable({4096, 4096, 8192, 16384}))}),
    testkit::CaseName{});

struct AcceptedCase {
    const char* name;
    Bytes file;
};

class AcceptedFormat : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedFormat, ReachesTheEngine) {
    EXPECT_EQ(checkFile(GetParam().file), kOk);
}

const wave::Tone kTone{22050, 2, 0.01, 440.0};

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedFormat,
    ::testing::Values(
        AcceptedCase{"Pcm8", wave::pcm(kTone, 8)}, AcceptedCase{"Pcm16", wave::pcm(kTone, 16)},
        AcceptedCase{"Float", wave::ieeeFloat(kTone)},
        AcceptedCase{"Extensible", wave::extensiblePcm16(kTone)},
        AcceptedCase{"Adpcm", wave::adpcmNoise(22050, 0.05)},
        AcceptedCase{"Pcm24PlainTag", hostile::withFormat(hostile::pcmFormat(1, 22050, 3, 24))},
        AcceptedCase{"Pcm32PlainTag", hostile::withFormat(hostile::pcmFormat(2, 22050, 8, 32))},
        AcceptedCase{"Valid20BitsIn24",
                     hostile::withFormat(hostile::extensibleFormat(1, 3, 24, 20, 1))},
        AcceptedCase{"LowestRate", hostile::withFormat(hostile::pcmFormat(1, 1000, 2, 16))},
        AcceptedCase{"HighestRate", hostile::withFormat(hostile::pcmFormat(1, 200000, 2, 16))},
        AcceptedCase{"SixtyFourChannels",
                     hostile::withFormat(hostile::pcmFormat(64, 8000, 128, 16))},
        AcceptedCase{"AdpcmStereo", hostile::withFormat(hostile::adpcmFormat(2, 512, 500))},
        // xWMA's block alignment is its packet size: the documentation sets no rule for it.
        AcceptedCase{"XwmaAnyBlockAlign",
                     riff("XWMA", cat({chunk("fmt ", formatEx(0x0161, 2, 44100, 16, {}, 0)),
                                       chunk("data", zeros(64)), chunk("dpds", le32(4096))}))}),
    testkit::CaseName{});

}  // namespace
}  // namespace chimebox
