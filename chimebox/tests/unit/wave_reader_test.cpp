#include <gtest/gtest.h>
#include <hostkit/riff_writer.h>
#include <testkit/case_name.h>

#include <cstring>

#include "fake_files.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

using namespace hostkit::riff;
using testing::FakeFileSystem;

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);

const Bytes kPcmFormat = formatBase(1, 1, 8000, 16);
const Bytes kOneByteData = chunk("data", {0x7F});

// The smallest loadable file: 45 bytes.
const Bytes kMinimalWave = riff("WAVE", cat({chunk("fmt ", kPcmFormat), kOneByteData}));

Bytes wave(const Bytes& subChunks) {
    return riff("WAVE", subChunks);
}
Bytes xwma(const Bytes& subChunks) {
    return riff("XWMA", subChunks);
}
Bytes withPcm(const Bytes& more) {
    return wave(cat({chunk("fmt ", kPcmFormat), kOneByteData, more}));
}

Bytes wmaFormat(std::uint16_t tag) {
    return formatEx(tag, 2, 44100, 16, zeros(0), 4);
}
Bytes extensible(std::uint32_t subFormat) {
    return formatEx(0xFFFE, 2, 44100, 16, extensibleTail(16, 3, subFormat));
}

// What a successful load describes, as offsets into the file (or -1 for null).
struct Described {
    std::uint32_t audioDataBytes = 1;
    std::uint32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    long seekTableOffset = -1;
    std::uint32_t seekTableEntries = 0;
};

struct LoadCase {
    const char* name;
    Bytes file;
    HRESULT result;
    Described described = {};
};

class LoadWaveFile : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadWaveFile, DescribesTheFileOrFailsWithItsCode) {
    const LoadCase& c = GetParam();
    FakeFileSystem files;
    files.files[u"sound.wav"] = c.file;
    FileBytes buffer;
    WaveFileData data;

    const HRESULT result = loadWaveFile(files, u"sound.wav", buffer, data);

    ASSERT_EQ(result, c.result) << std::hex << "got 0x" << static_cast<std::uint32_t>(result);
    if (failed(result)) {
        return;
    }
    ASSERT_TRUE(buffer);
    const std::uint8_t* base = buffer.get();
    EXPECT_EQ(std::memcmp(base, c.file.data(), c.file.size()), 0);
    // The format and audio point at the bodies of the first "fmt " and "data" chunks.
    EXPECT_EQ(std::memcmp(static_cast<const std::uint8_t*>(data.waveFormat) - 8, "fmt ", 4), 0);
    EXPECT_EQ(std::memcmp(data.audioData - 8, "data", 4), 0);
    EXPECT_EQ(data.audioDataBytes, c.described.audioDataBytes);
    EXPECT_EQ(data.loopStart, c.described.loopStart);
    EXPECT_EQ(data.loopLength, c.described.loopLength);
    if (c.described.seekTableOffset < 0) {
        EXPECT_EQ(data.seekTable, nullptr);
    } else {
        EXPECT_EQ(static_cast<const std::uint8_t*>(data.seekTable) - base,
                  c.described.seekTableOffset);
    }
    EXPECT_EQ(data.seekTableEntries, c.described.seekTableEntries);
}

const Bytes kOddList = chunk("LIST", {1, 2, 3});  // odd size: a pad byte would follow

INSTANTIATE_TEST_SUITE_P(
    Structure, LoadWaveFile,
    ::testing::Values(
        LoadCase{"MinimalFile", kMinimalWave, kOk},
        LoadCase{"ShorterThan34Bytes", Bytes(kMinimalWave.begin(), kMinimalWave.begin() + 33),
                 kFail},
        LoadCase{"DataBeforeFmt", wave(cat({kOneByteData, chunk("fmt ", kPcmFormat)})), kOk},
        LoadCase{"OddChunkWithPadByteShiftsTheWalk",
                 wave(cat({chunk("fmt ", kPcmFormat), kOddList, {0}, kOneByteData})), kInvalidData},
        LoadCase{"OddChunkWithoutPadByte",
                 wave(cat({chunk("fmt ", kPcmFormat), kOddList, kOneByteData})), kOk},
        LoadCase{"ChunksAheadOfRiffAreSteppedOver", cat({chunk("JUNK", zeros(5)), kMinimalWave}),
                 kOk},
        LoadCase{
            "NoRiff",
            cat({chunk("RIFX", cat({fourcc("WAVE"), chunk("fmt ", kPcmFormat), kOneByteData}))}),
            kFail},
        LoadCase{
            "RiffSizeBelowFour",
            cat({chunkWithSize("RIFF", 3,
                               cat({fourcc("WAVE"), chunk("fmt ", kPcmFormat), kOneByteData}))}),
            kFail},
        LoadCase{"UnknownFormType", riff("AVI ", cat({chunk("fmt ", kPcmFormat), kOneByteData})),
                 kFail},
        LoadCase{
            "RiffSizeLargerThanFile",
            cat({chunkWithSize("RIFF", 0x7FFFFFFF,
                               cat({fourcc("WAVE"), chunk("fmt ", kPcmFormat), kOneByteData}))}),
            kOk},
        LoadCase{
            "RiffSizeSmallerThanChunks",
            cat({chunkWithSize("RIFF", 30,
                               cat({fourcc("WAVE"), chunk("fmt ", kPcmFormat), kOneByteData}))}),
            kInvalidData},
        LoadCase{"HugeChunkSizeEndsTheSearch",
                 wave(cat({chunk("fmt ", kPcmFormat), chunkWithSize("JUNK", 0xFFFFFFF7, zeros(4)),
                           kOneByteData})),
                 kInvalidData},
        LoadCase{"ChunkSizePastTheEndEndsTheSearch",
                 wave(cat({chunk("fmt ", kPcmFormat), chunkWithSize("JUNK", 0x7FFFFFF0, zeros(4)),
                           kOneByteData})),
                 kInvalidData},
        LoadCase{"RiffHeaderTooCloseToTheEnd",
                 cat({chunk("JUNK", zeros(16)), chunkWithSize("RIFF", 4, {0x57, 0x41})}),
                 kHandleEof},
        LoadCase{"NoRoomForASubChunk",
                 cat({chunk("JUNK", zeros(22)), chunkWithSize("RIFF", 8, fourcc("WAVE"))}),
                 kHandleEof},
        LoadCase{"NoFmt", wave(cat({kOneByteData, chunk("JUNK", zeros(30))})), kFail},
        LoadCase{"FmtBelow16Bytes", wave(cat({chunk("fmt ", zeros(14)), kOneByteData, zeros(8)})),
                 kFail},
        LoadCase{"FmtPastTheEnd", wave(cat({kOneByteData, chunkWithSize("fmt ", 64, kPcmFormat)})),
                 kHandleEof},
        LoadCase{"NoData", wave(cat({chunk("fmt ", kPcmFormat), chunk("JUNK", zeros(4))})),
                 kInvalidData},
        LoadCase{"EmptyData", wave(cat({chunk("fmt ", kPcmFormat), chunk("data", {}), zeros(4)})),
                 kInvalidData},
        LoadCase{"DataPastTheEnd",
                 wave(cat({chunk("fmt ", kPcmFormat), chunkWithSize("data", 2, {1})})), kHandleEof},
        LoadCase{"DataSizeNear4GiB",
                 wave(cat({chunk("fmt ", kPcmFormat), chunkWithSize("data", 0xFFFFFFF0, {1, 2})})),
                 kHandleEof}),
    testkit::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    FormatTags, LoadWaveFile,
    ::testing::Values(
        LoadCase{"Pcm16ByteBlock", kMinimalWave, kOk},
        LoadCase{"IeeeFloat", wave(cat({chunk("fmt ", formatBase(3, 1, 8000, 32)), kOneByteData})),
                 kOk},
        LoadCase{"Adpcm",
                 wave(cat({chunk("fmt ", formatEx(2, 1, 8000, 4, zeros(32), 256)), kOneByteData})),
                 kOk},
        LoadCase{"AdpcmExtensionTooShort",
                 wave(cat({chunk("fmt ", formatEx(2, 1, 8000, 4, zeros(30), 256)), kOneByteData,
                           zeros(8)})),
                 kFail},
        LoadCase{"UnknownTag",
                 wave(cat({chunk("fmt ", formatEx(0x0055, 1, 8000, 16, zeros(12))), kOneByteData})),
                 kNotSupported},
        LoadCase{"UnknownTagWithoutCbSize",
                 wave(cat({chunk("fmt ", formatBase(0x0055, 1, 8000, 16)), kOneByteData})), kFail},
        LoadCase{"CbSizeLargerThanChunk",
                 wave(cat({chunk("fmt ", cat({formatBase(0x0055, 1, 8000, 16), le16(40)})),
                           kOneByteData, zeros(40)})),
                 kFail},
        LoadCase{
            "Xma2",
            wave(cat({chunk("fmt ", formatEx(0x0166, 2, 48000, 16, zeros(34))), kOneByteData})),
            kOk},
        LoadCase{
            "Xma2TooShort",
            wave(cat({chunk("fmt ", formatEx(0x0166, 2, 48000, 16, zeros(33))), kOneByteData})),
            kFail},
        LoadCase{"Xma2WithSeekTable",
                 wave(cat({chunk("fmt ", formatEx(0x0166, 2, 48000, 16, zeros(34))), kOneByteData,
                           chunk("seek", zeros(8))})),
                 kOk,
                 {1, 0, 0, 12 + 8 + 52 + 9 + 8, 2}},
        LoadCase{"ExtensiblePcm", wave(cat({chunk("fmt ", extensible(1)), kOneByteData})), kOk},
        LoadCase{"ExtensibleFloat", wave(cat({chunk("fmt ", extensible(3)), kOneByteData})), kOk},
        LoadCase{"ExtensibleAdpcmNotSupported",
                 wave(cat({chunk("fmt ", extensible(2)), kOneByteData})), kNotSupported},
        LoadCase{"ExtensibleOtherGuidTail",
                 wave(cat({chunk("fmt ",
                                 [] {
                                     Bytes f = extensible(1);
                                     f.back() ^= 1;
                                     return f;
                                 }()),
                           kOneByteData})),
                 kNotSupported},
        LoadCase{
            "ExtensibleCbSize21",
            wave(cat({chunk("fmt ", formatEx(0xFFFE, 2, 44100, 16,
                                             [] {
                                                 Bytes tail = extensibleTail(16, 3, 1);
                                                 tail.pop_back();
                                                 return tail;
                                             }())),
                      kOneByteData, zeros(8)})),
            kFail},
        LoadCase{
            "ExtensibleWmaNeedsDpds",
            wave(cat({chunk("fmt ", extensible(0x0161)), kOneByteData, chunk("dpds", zeros(12))})),
            kOk,
            {1, 0, 0, 12 + 8 + 40 + 9 + 8, 3}}),
    testkit::CaseName{});

// Offsets below: 12 (RIFF header and form type) + 8 + 18 ("fmt " with a WMA block) + 9 ("data").
constexpr long kTableAfterWmaFormat = 12 + 8 + 18 + 9 + 8;

INSTANTIATE_TEST_SUITE_P(
    PacketTables, LoadWaveFile,
    ::testing::Values(
        LoadCase{
            "XwmaWithDpds",
            xwma(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData, chunk("dpds", zeros(12))})),
            kOk,
            {1, 0, 0, kTableAfterWmaFormat, 3}},
        LoadCase{
            "Wma3",
            xwma(cat({chunk("fmt ", wmaFormat(0x0162)), kOneByteData, chunk("dpds", zeros(4))})),
            kOk,
            {1, 0, 0, kTableAfterWmaFormat, 1}},
        LoadCase{
            "DpdsNotMultipleOfFour",
            xwma(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData, chunk("dpds", zeros(10))})),
            kFail},
        LoadCase{"DpdsPastTheEnd",
                 xwma(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData,
                           chunkWithSize("dpds", 400, zeros(12))})),
                 kHandleEof},
        LoadCase{"EmptyDpdsIsATableOfNoEntries",
                 xwma(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData, chunk("dpds", {}),
                           zeros(4)})),
                 kOk,
                 {1, 0, 0, kTableAfterWmaFormat, 0}},
        LoadCase{"NoDpdsLoadsWithoutTable",
                 xwma(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData, zeros(4)})), kOk},
        LoadCase{
            "WaveFormWithWmaTagGetsTable",
            wave(cat({chunk("fmt ", wmaFormat(0x0161)), kOneByteData, chunk("dpds", zeros(8))})),
            kOk,
            {1, 0, 0, kTableAfterWmaFormat, 2}},
        LoadCase{"XwmaFormWithPcmTagHasNoTable",
                 xwma(cat({chunk("fmt ", kPcmFormat), kOneByteData, chunk("dpds", zeros(8))})),
                 kOk},
        LoadCase{"PcmIgnoresABrokenDpds", withPcm(chunk("dpds", zeros(10))), kOk}),
    testkit::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    Loops, LoadWaveFile,
    ::testing::Values(LoadCase{"SmplFirstForwardLoop",
                               withPcm(chunk("smpl", smplBody({{1, 5, 9}, {0, 100, 199}}))),
                               kOk,
                               {1, 100, 100}},
                      LoadCase{"SmplLengthWrapsToNoLoop",
                               withPcm(chunk("smpl", smplBody({{0, 0, 0xFFFFFFFF}}))),
                               kOk,
                               {1, 0, 0}},
                      LoadCase{"SmplWithoutForwardLoop",
                               withPcm(chunk("smpl", smplBody({{1, 5, 9}, {2, 1, 2}}))), kOk},
                      LoadCase{"SmplRecordCountBeyondChunk",
                               withPcm(chunk("smpl",
                                             [] {
                                                 Bytes b = smplBody({{0, 1, 2}});
                                                 b[28] = 2;
                                                 return b;
                                             }())),
                               kOk},
                      LoadCase{"SmplRecordCountOverflowing32Bits",
                               withPcm(chunk("smpl",
                                             [] {
                                                 Bytes b = smplBody({{0, 1, 2}});
                                                 b[28] = 0xAB;
                                                 b[29] = 0xAA;
                                                 b[30] = 0xAA;
                                                 b[31] = 0x0A;
                                                 return b;
                                             }())),
                               kOk},
                      LoadCase{"SmplShorterThan36", withPcm(chunk("smpl", zeros(35))), kOk},
                      LoadCase{"SmplPastTheEndFailsTheLoad",
                               withPcm(chunkWithSize("smpl", 200, smplBody({{0, 1, 2}}))),
                               kHandleEof},
                      LoadCase{"WsmpLoopWinsOverSmpl",
                               withPcm(cat({chunk("smpl", smplBody({{0, 1, 2}})),
                                            chunk("wsmp", wsmpBody({{1, 10, 50}}))})),
                               kOk,
                               {1, 10, 50}},
                      LoadCase{"WsmpWithoutLoopFallsBackToSmpl",
                               withPcm(cat({chunk("wsmp", wsmpBody({{2, 10, 50}})),
                                            chunk("smpl", smplBody({{0, 7, 8}}))})),
                               kOk,
                               {1, 7, 2}},
                      LoadCase{"WsmpRecordsBeyondChunkFallBack",
                               withPcm(chunk("wsmp",
                                             [] {
                                                 Bytes b = wsmpBody({{0, 10, 50}});
                                                 b[16] = 2;
                                                 return b;
                                             }())),
                               kOk},
                      LoadCase{"WsmpHeaderSizeOverflowing32Bits",
                               withPcm(chunk("wsmp",
                                             [] {
                                                 Bytes b = wsmpBody({{0, 10, 50}});
                                                 b[0] = 0xF8;
                                                 b[1] = 0xFF;
                                                 b[2] = 0xFF;
                                                 b[3] = 0xFF;
                                                 return b;
                                             }())),
                               kOk},
                      LoadCase{"WsmpPastTheEndFailsTheLoad",
                               withPcm(chunkWithSize("wsmp", 100, wsmpBody({{0, 10, 50}}))),
                               kHandleEof},
                      LoadCase{"XwmaNeverLoops",
                               xwma(cat({chunk("fmt ", kPcmFormat), kOneByteData,
                                         chunk("smpl", smplBody({{0, 1, 2}}))})),
                               kOk}),
    testkit::CaseName{});

struct ReadCase {
    const char* name;
    void (*script)(FakeFileSystem&);
    HRESULT result;
};

class ReadWholeFile : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadWholeFile, MapsPlatformFailures) {
    FakeFileSystem files;
    files.files[u"a.wav"] = kMinimalWave;
    GetParam().script(files);
    FileBytes buffer;
    WaveFileData data;
    EXPECT_EQ(loadWaveFile(files, u"a.wav", buffer, data), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadWholeFile,
    ::testing::Values(
        ReadCase{"MissingFile", [](FakeFileSystem& f) { f.files.clear(); }, kFileNotFound},
        ReadCase{"MissingDirectory", [](FakeFileSystem& f) { f.openError = 3; },
                 static_cast<HRESULT>(0x80070003u)},
        ReadCase{"AccessDenied", [](FakeFileSystem& f) { f.openError = 5; },
                 static_cast<HRESULT>(0x80070005u)},
        ReadCase{"SharingViolation", [](FakeFileSystem& f) { f.openError = 32; },
                 static_cast<HRESULT>(0x80070020u)},
        ReadCase{"OpenFailsWithoutCodeEndsAsPointerError",
                 [](FakeFileSystem& f) { f.openError = 0; }, kPointer},
        ReadCase{"SizeUnreadable", [](FakeFileSystem& f) { f.sizeError = 6; },
                 static_cast<HRESULT>(0x80070006u)},
        ReadCase{"FourGiBOrMore", [](FakeFileSystem& f) { f.reportedSize = 0x100000000ull; },
                 kFail},
        ReadCase{"SizeBelow34", [](FakeFileSystem& f) { f.reportedSize = 33; }, kFail},
        ReadCase{"ReadFails", [](FakeFileSystem& f) { f.readError = 23; },
                 static_cast<HRESULT>(0x80070017u)},
        ReadCase{"ShortRead", [](FakeFileSystem& f) { f.shortRead = 40; }, kFail}),
    testkit::CaseName{});

TEST(LoadWaveFile, NullPathLeavesDataUntouched) {
    FakeFileSystem files;
    FileBytes buffer;
    WaveFileData data;
    data.audioDataBytes = 77;
    EXPECT_EQ(loadWaveFile(files, nullptr, buffer, data), kInvalidArg);
    EXPECT_EQ(data.audioDataBytes, 77u);
    EXPECT_EQ(files.opened, 0);
}

TEST(LoadWaveFile, ReplacesAnArrayTheHolderAlreadyOwned) {
    FakeFileSystem files;
    files.files[u"a.wav"] = kMinimalWave;
    FileBytes buffer(new std::uint8_t[3]);
    WaveFileData data;
    ASSERT_EQ(loadWaveFile(files, u"a.wav", buffer, data), kOk);
    EXPECT_EQ(data.audioData, buffer.get() + 44);
}

TEST(ParseSteps, NullBufferIsAPointerError) {
    const std::span<const std::uint8_t> none;
    FormatAndAudio format;
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    const void* table = nullptr;
    std::uint32_t entries = 0;
    EXPECT_EQ(parseFormatAndAudio(none, format), kPointer);
    EXPECT_EQ(readLoopRegion(none, start, length), kPointer);
    EXPECT_EQ(readSeekTable(none, kFourccDpds, table, entries), kPointer);
}

TEST(LocateChunk, HeaderEndingExactlyAtRangeEndIsNotExamined) {
    const Bytes bytes = cat({chunk("AAAA", zeros(4)), chunk("BBBB", {})});
    const std::span<const std::uint8_t> span(bytes);
    EXPECT_EQ(locateChunk(span, 0, 20, kFourccData), nullptr);
    EXPECT_EQ(locateChunk(span, 0, 20, 0x42424242), nullptr);
    EXPECT_EQ(locateChunk(span, 0, 21, 0x42424242), bytes.data() + 12);
    EXPECT_EQ(locateChunk(span, 0, 8, 0x41414141), nullptr);
}

}  // namespace
}  // namespace chimebox
