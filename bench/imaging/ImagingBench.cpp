#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/Progress.h"
#include "imaging/Resample.h"
#include "imaging/Rotate.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

using imaging::Picture;

namespace {

Picture photo(int width, int height)
{
    Picture picture(width, height);
    unsigned seed = 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = int(seed >> 28);
            row[x * 3] = std::uint8_t(x * 200 / width + noise);
            row[x * 3 + 1] = std::uint8_t(y * 200 / height + noise);
            row[x * 3 + 2] = std::uint8_t((x + y) * 100 / (width + height) + 60 + noise);
        }
    }
    return picture;
}

void resample(benchmark::State& state)
{
    const Picture src = photo(int(state.range(0)), int(state.range(1)));
    Picture dst(480, 640);
    for (auto _ : state) {
        imaging::Resample(src, dst);
        benchmark::DoNotOptimize(dst.row(0));
    }
}
BENCHMARK(resample)->Args({3000, 4000})->Args({1024, 768})->Unit(benchmark::kMillisecond);

void rotate(benchmark::State& state)
{
    Picture picture = photo(480, 640);
    imaging::NullProgress progress;
    for (auto _ : state) {
        imaging::Rotate90(progress, picture);
        benchmark::DoNotOptimize(picture.row(0));
    }
}
BENCHMARK(rotate)->Unit(benchmark::kMillisecond);

const Picture& photo480()
{
    static const Picture p = photo(480, 640);
    return p;
}
const QByteArray& jpeg480()
{
    static const QByteArray b = imaging::encodeJpeg(photo480());
    return b;
}

void decode(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(imaging::decodeJpeg(jpeg480()));
}
BENCHMARK(decode)->Unit(benchmark::kMillisecond);

// The same work straight through the library: the floor our wrapper is measured against.
void decodeBareLibjpeg(benchmark::State& state)
{
    const QByteArray& bytes = jpeg480();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t stride = cinfo.output_width * 3;
        auto* pixels = static_cast<unsigned char*>(std::malloc(stride * cinfo.output_height));
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels + cinfo.output_scanline * stride;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
}
BENCHMARK(decodeBareLibjpeg)->Unit(benchmark::kMillisecond);

void encode(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(imaging::encodeJpeg(photo480()));
}
BENCHMARK(encode)->Unit(benchmark::kMillisecond);

void encodeBareLibjpeg(benchmark::State& state)
{
    const Picture& picture = photo480();
    for (auto _ : state) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = 480;
        cinfo.image_height = 640;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 90, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(picture.row(int(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
}
BENCHMARK(encodeBareLibjpeg)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
