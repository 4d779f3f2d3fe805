#pragma once

#include <QImage>
#include <QString>

namespace zv::gui {

// Decodes a JPEG picture with libjpeg. Any fault of the file (missing, truncated, damaged,
// of a colour model we do not show, absurdly large) gives a null image; it never ends the
// program, which libjpeg's own error handler would.
QImage DecodeJpeg(const QByteArray& bytes);
QImage LoadJpegFile(const QString& path);

}  // namespace zv::gui
