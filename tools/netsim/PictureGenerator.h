#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace quillon {

// Photo-like JPEG pictures for test orders: a few megapixels each, a sky
// and a landscape in gradients, a sun, hills, blurred lights and grain,
// different for every index and seed, saved with quality 90.
class PictureGenerator {
public:
    explicit PictureGenerator(uint32_t seed) : m_seed(seed) {}

    // Writes IMG_0001.jpg, IMG_0002.jpg, ... into `folder`; their paths in
    // `made`. False with a reason when a picture cannot be written.
    bool generate(const QString& folder, int count, QStringList& made, QString& error) const;

private:
    uint32_t m_seed;
};

} // namespace quillon
