#include <gtest/gtest.h>

#include "messages.h"

namespace chimebox {
namespace {

TEST(Messages, CodesAreSignedUpperCaseHexadecimal) {
    EXPECT_EQ(messages::comInitFailed(static_cast<HRESULT>(0x80010106u)),
              "Failed to init COM: -0X7FFEFEFA");
    EXPECT_EQ(messages::engineInitFailed(static_cast<HRESULT>(0x8007007Eu)),
              "Failed to init XAudio2 engine: -0X7FF8FF82");
    EXPECT_EQ(messages::masteringVoiceFailed(static_cast<HRESULT>(0x80000000u)),
              "Failed creating mastering voice: -0X80000000");
    EXPECT_EQ(messages::sourceVoiceFailed(1), "Error 0X1 creating source voice");
    EXPECT_EQ(messages::submitFailed(static_cast<HRESULT>(0x88960001u), true),
              "Error -0X7769FFFF submitting source buffer (xWMA)");
    EXPECT_EQ(messages::submitFailed(kFail, false), "Error -0X7FFFBFFB submitting source buffer");
    EXPECT_EQ(messages::submitFailed(kNoWmaDecoder, true),
              "Error -0X7FF8FF82 submitting source buffer (xWMA): no WMA decoder is installed "
              "(GStreamer's avdec_wmav2 and avdec_wmapro: on Debian and Ubuntu, the package "
              "gstreamer1.0-libav)");
    EXPECT_EQ(messages::missingLongField("xAudioRef"), "Cannot find long JNI field: xAudioRef");
    EXPECT_EQ(messages::notInitialized("xAudioMasteringVoiceRef"),
              "Failed to play, xAudioMasteringVoiceRef not initialized");
}

TEST(Messages, ReadFailureNamesThePathInParentheses) {
    EXPECT_EQ(messages::readFailed(static_cast<HRESULT>(0x80070002u), u"C:\\sounds\\a b.wav"),
              "Failed reading WAV file: -0X7FF8FFFE (C:\\sounds\\a b.wav)");
    EXPECT_EQ(messages::readFailed(kInvalidArg, u""), "Failed reading WAV file: -0X7FF8FFA9 ()");
}

TEST(Messages, PathUnitsBecomeOneTwoOrThreeBytesEach) {
    // a, e-acute (2 bytes), euro (3 bytes), U+1F600 as two surrogate halves of 3 bytes each.
    EXPECT_EQ(messages::toModifiedUtf8(u"a\u00e9\u20ac\U0001F600"),
              "a\xc3\xa9\xe2\x82\xac\xed\xa0\xbd\xed\xb8\x80");
    EXPECT_EQ(messages::toModifiedUtf8(u"\u007f\u0080\u07ff\u0800\uffff"),
              "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf");
}

}  // namespace
}  // namespace chimebox
