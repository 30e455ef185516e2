// Writes the sound files whose formats no engine may be handed into the folder given as the only
// argument, one file a format, named after it; the JVM test plays each.

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
        std::ofstream out(std::string(argv[1]) + "/" + format.name + ".wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(format.file.data()),
                  static_cast<std::streamsize>(format.file.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", format.name.c_str());
            return 1;
        }
    }
    return 0;
}
