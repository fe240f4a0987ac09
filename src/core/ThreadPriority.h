#pragma once

namespace quillon {

// Below normal for the calling thread: work on it (a reception, a purge's
// file work) must not make the window sluggish.
void lowerThisThreadsPriority();

} // namespace quillon
