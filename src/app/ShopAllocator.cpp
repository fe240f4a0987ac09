// The shop's memory comes from jemalloc, set up here for what the shop does:
// a large order database loaded at start and kept for the whole run, and
// many threads receiving, thumbnailing and serving for hours.
// - Transparent huge pages for the heap: a million orders touch several
//   hundred megabytes at once, and faulting them in 4 KiB pages costs more
//   than parsing them (the processor's page walks too).
// - Dirty pages given back to the system after a few seconds, so that what
//   an order's reception or a purge used does not stay with the process.
// jemalloc reads this at its first allocation, before main().
extern "C" {
// NOLINTNEXTLINE: the name is jemalloc's.
const char* malloc_conf = "thp:always,metadata_thp:auto,dirty_decay_ms:5000,muzzy_decay_ms:5000";
}
