// Writes the fuzzer's seed files into the folder given as the only argument: well-formed files
// of every format the reader knows, a few broken ones and the formats no engine may be handed,
// all generated here.

#include <hostkit/riff_writer.h>
#include <hostkit/wave_files.h>
#include <testkit/hostile_formats.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    using namespace hostkit::riff;
    namespace wave = hostkit::wave;
    const wave::Tone tone{8000, 1, 0.01, 440.0};
    const Bytes wmaFormat = formatEx(0x0161, 2, 44100, 16, {}, 4);
    std::vector<std::pair<std::string, Bytes>> seeds{
        {"pcm16", wave::pcm(tone, 16)},
        {"pcm8", wave::pcm(tone, 8)},
        {"float", wave::ieeeFloat(tone)},
        {"extensible", wave::extensiblePcm16(tone)},
        {"adpcm", wave::adpcmNoise(8000, 0.07)},
        {"looped-smpl", wave::loopedPcm16(tone, 10, 50)},
        {"looped-wsmp",
         riff("WAVE", cat({chunk("fmt ", formatBase(1, 1, 8000, 16)), chunk("data", zeros(8)),
                           chunk("wsmp", wsmpBody({{1, 2, 3}}))}))},
        {"xwma", riff("XWMA", cat({chunk("fmt ", wmaFormat), chunk("data", zeros(32)),
                                   chunk("dpds", cat({le32(4096), le32(8192)}))}))},
        {"xma2", riff("WAVE", cat({chunk("fmt ", formatEx(0x0166, 2, 48000, 16, zeros(34))),
                                   chunk("data", zeros(16)), chunk("seek", le32(2048))}))},
        {"odd-list", riff("WAVE", cat({chunk("fmt ", formatBase(1, 1, 8000, 16)),
                                       chunk("LIST", {1, 2, 3}), chunk("data", zeros(4))}))},
        {"huge-sizes", cat({chunkWithSize("RIFF", 0xFFFFFFF0, fourcc("WAVE")),
                            chunkWithSize("fmt ", 0xFFFFFFF8, formatBase(1, 1, 8000, 16))})},
    };
    for (const testkit::wave::HostileFormat& hostile : testkit::wave::hostileFormats()) {
        seeds.emplace_back("hostile-" + hostile.name, hostile.file);
    }
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(std::string(argv[1]) + "/" + name + ".wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write seed %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
