// How an engine tells its caller how far long work has come, without printing anything itself:
// it calls the function now and then with the work done and the work in all.
#pragma once
#include <cstdint>
#include <functional>

using ProgressFn = std::function<void(uint64_t done, uint64_t total)>;
