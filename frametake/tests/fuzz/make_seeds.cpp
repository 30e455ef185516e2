// Seeds for the portal picture's fuzz target: PNGs of several colour types and depths, after the
// 8 bytes that give an extent of the picture's own size and a rectangle across its corner.

#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    struct Seed {
        unsigned width, height;
        LodePNGColorType type;
        unsigned depth;
    };
    const Seed seeds[] = {{16, 8, LCT_RGB, 8}, {1, 1, LCT_RGBA, 8},   {40, 30, LCT_GREY, 1},
                          {9, 7, LCT_GREY, 4}, {12, 12, LCT_RGB, 16}, {5, 64, LCT_GREY_ALPHA, 8}};
    int index = 0;
    for (const Seed& seed : seeds) {
        std::vector<unsigned char> rgba(std::size_t{seed.width} * seed.height * 4);
        for (std::size_t i = 0; i < rgba.size(); ++i) {
            rgba[i] = static_cast<unsigned char>(i * 37 % 251);
        }
        LodePNGState state;
        lodepng_state_init(&state);
        state.info_png.color.colortype = seed.type;
        state.info_png.color.bitdepth = seed.depth;
        state.encoder.auto_convert = 1;
        unsigned char* png = nullptr;
        std::size_t size = 0;
        const unsigned error =
            lodepng_encode(&png, &size, rgba.data(), seed.width, seed.height, &state);
        lodepng_state_cleanup(&state);
        if (error != 0) {
            std::fprintf(stderr, "seed %d: %s\n", index, lodepng_error_text(error));
            return 1;
        }
        const unsigned char head[8] = {0,
                                       0,
                                       static_cast<unsigned char>(seed.width - 1),
                                       static_cast<unsigned char>(seed.height - 1),
                                       0xFE,
                                       0xFD,
                                       7,
                                       5};
        const std::string name = std::string(argv[1]) + "/seed" + std::to_string(index++);
        std::FILE* file = std::fopen(name.c_str(), "wb");
        const bool written = file != nullptr && std::fwrite(head, 1, 8, file) == 8 &&
                             std::fwrite(png, 1, size, file) == size;
        std::free(png);
        if (file == nullptr || std::fclose(file) != 0 || !written) {
            return 1;
        }
    }
    return 0;
}
