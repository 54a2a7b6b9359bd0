#include "app/render/picture_files.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scene/frame_buffer.h"

namespace wendrel::render {
namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

bool Fail(std::string& error, const std::string& path) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
}

// Renames the finished temporary file into place, or removes it.
bool Finish(std::FILE* file, bool ok, const std::string& temp, const std::string& path,
            std::string& error) {
    if (std::fclose(file) != 0 && ok)
        ok = Fail(error, path);
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0)
        ok = Fail(error, path);
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

}  // namespace

bool WriteBmpFile(const std::string& path, const BITMAPINFOHEADER& header,
                  const std::uint8_t* pixels, std::string& error) {
    const std::string temp = path + ".part";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr)
        return Fail(error, path);
    const std::uint32_t offset = 14 + sizeof(BITMAPINFOHEADER);
    std::uint8_t fileHeader[14] = {'B', 'M'};
    Put32(fileHeader + 2, offset + header.biSizeImage);
    Put32(fileHeader + 10, offset);
    std::uint8_t info[sizeof(BITMAPINFOHEADER)];
    std::memcpy(info, &header, sizeof info);  // the platforms that build this are little-endian
    bool ok = std::fwrite(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
              std::fwrite(info, 1, sizeof info, file) == sizeof info &&
              std::fwrite(pixels, 1, header.biSizeImage, file) == header.biSizeImage &&
              std::fflush(file) == 0;
    if (!ok)
        Fail(error, path);
    return Finish(file, ok, temp, path, error);
}

bool WritePngFile(const std::string& path, const BITMAPINFOHEADER& header,
                  const std::uint8_t* pixels, std::string& error) {
    const std::string temp = path + ".part";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr)
        return Fail(error, path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const auto width = static_cast<png_uint_32>(header.biWidth);
    const auto height = static_cast<png_uint_32>(header.biHeight);
    const std::size_t stride = static_cast<std::size_t>(RowStride24(header.biWidth));
    std::vector<png_bytep> rows(height);
    bool ok = png != nullptr && info != nullptr;
    // libpng reports errors by longjmp; nothing with a destructor is made
    // between here and the end of the write.
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        for (png_uint_32 y = 0; y < height; ++y)  // first stored row is the bottom one
            rows[y] = const_cast<png_bytep>(pixels + (height - 1 - y) * stride);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_BGR, nullptr);
        ok = std::fflush(file) == 0;
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!ok)
        Fail(error, path);
    return Finish(file, ok, temp, path, error);
}

}  // namespace wendrel::render
