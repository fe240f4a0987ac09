#include "orders/LoadedPictures.h"

namespace quillon {

void LoadedPictures::seal() {
    m_names.seal();
    m_runs = {};
    m_lines.shrink_to_fit();
    m_runEnds.shrink_to_fit();
}

} // namespace quillon
