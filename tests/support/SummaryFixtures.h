#pragma once

// Helpers for the order summary tests: pictures written with QImage, and
// the saved PDF read back with poppler's command line tools.

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

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

// Runs a poppler tool; its standard output, or empty when it failed.
inline QString runPoppler(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page, laid out as on the page.
inline QStringList pdfPageTexts(const QString& path) {
    QStringList pages = runPoppler("pdftotext", {"-layout", path, "-"}).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// A word as poppler finds it on a page, in points from the top left.
struct PdfWord {
    int page = 0;
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<PdfWord> pdfWords(const QString& path) {
    static const QRegularExpression tag(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    int page = 0;
    auto it = tag.globalMatch(runPoppler("pdftotext", {"-bbox", path, "-"}));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

// The words on the line of `page` that holds the word `text`, left to right.
inline std::vector<PdfWord> pdfLineOf(const std::vector<PdfWord>& words, int page,
                                      const QString& text) {
    auto it = std::find_if(words.begin(), words.end(),
                           [&](const PdfWord& w) { return w.page == page && w.text == text; });
    std::vector<PdfWord> line;
    for (const PdfWord& w : words)
        if (it != words.end() && w.page == page && std::abs(w.yMax - it->yMax) < 1)
            line.push_back(w);
    std::sort(line.begin(), line.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
    if (line.empty())
        line.push_back({});
    return line;
}

} // namespace testsupport
