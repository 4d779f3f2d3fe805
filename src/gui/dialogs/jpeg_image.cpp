#include "dialogs/jpeg_image.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zv::gui {

namespace {

// Far above any picture we ship; a damaged header must not make us allocate gigabytes.
constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager {
    jpeg_error_mgr Base;  // first, so that libjpeg's pointer to it is ours as well
    std::jmp_buf Jump;
    int Warnings;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(errors->Jump, 1);
}

// Warnings mean corrupt data that libjpeg papered over (a truncated file decodes as grey):
// counted and treated as damage, never printed.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0)
        reinterpret_cast<ErrorManager*>(info->err)->Warnings++;
}

// Only plain data lives in this frame: longjmp returns here past libjpeg's C frames, and
// the image being filled belongs to the caller.
bool Decode(const unsigned char* data, unsigned long size, QImage& image) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.emit_message = EmitMessage;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return errors.Warnings == 0;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
    QImage image;
    if (bytes.isEmpty())
        return image;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (!Decode(data, static_cast<unsigned long>(bytes.size()), image))
        return QImage();
    return image;
}

QImage LoadJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return DecodeJpeg(file.readAll());
}

}  // namespace zv::gui
