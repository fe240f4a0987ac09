#pragma once

// Helpers for the order summary tests: pictures written with QImage, and
// the saved PDF read back with poppler's command line tools.

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

// A picture with a gradient, so scaling and encoding have real content.
inline QImage gradientPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return image;
}

// Writes a gradient picture; the format comes from the name's suffix unless given.
inline bool writePicture(const QString& path, int width, int height, const char* format = nullptr) {
    return gradientPicture(width, height).save(path, format, 90);
}

// The text of each page as poppler's pdftotext lays it out; none when it
// failed.
inline QStringList pdfPageTexts(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace testsupport
