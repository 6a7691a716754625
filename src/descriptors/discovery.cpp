// Placeholder until the discovery is built.
#include "descriptors/discovery.h"

#include "core/run_exit.h"

void Discriminate(WorkArea&) { fail(1, "the descriptor discovery is not available yet"); }
