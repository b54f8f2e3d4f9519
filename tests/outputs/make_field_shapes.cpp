// Writes plot files whose fields take every shape the reader accepts and
// whose values reach every edge the writer has, for comparing the outputs of
// builds for different machines byte for byte.
//
// Usage: make_field_shapes SEED LINES FILE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "plot_text_generator.hpp"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_field_shapes SEED LINES FILE\n");
        return 2;
    }
    FieldShapeGenerator shapes(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    const unsigned long lines = std::strtoul(argv[2], nullptr, 10);
    std::FILE* out = std::fopen(argv[3], "wb");
    if (out == nullptr) {
        std::perror(argv[3]);
        return 1;
    }
    for (unsigned long i = 0; i < lines; ++i) {
        const std::string text = shapes.line(i);
        std::fputs(text.c_str(), out);
        std::fputs(shapes.crlf() ? "\r\n" : "\n", out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
