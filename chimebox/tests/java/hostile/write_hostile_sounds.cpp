// Writes the sound files whose formats or buffers no engine may be handed into the folder given
// as the only argument, one file a case, named after it, with the play's expected message
// beside it (NAME.message); the JVM test plays each.

#include <testkit/hostile_formats.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_hostile_sounds FOLDER\n");
        return 2;
    }
    for (const testkit::wave::HostileFormat& format : testkit::wave::hostileFormats()) {
        const std::string stem = std::string(argv[1]) + "/" + format.name;
        std::ofstream out(stem + ".wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(format.file.data()),
                  static_cast<std::streamsize>(format.file.size()));
        std::ofstream message(stem + ".message", std::ios::binary);
        message << format.refusal;
        if (!out || !message) {
            std::fprintf(stderr, "cannot write %s\n", format.name.c_str());
            return 1;
        }
    }
    return 0;
}
