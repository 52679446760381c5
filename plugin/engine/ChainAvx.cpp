// Built with AVX enabled; reached only after the processor has been asked (PeakEngine::process).
#include "plugin/engine/Chain.h"
#include "plugin/engine/VectorAvx.h"

namespace zephyrion {

void runChainAvx(ChainState& state, const ChainSettings& settings, const ChainBlock& block) {
    runChain<Avx>(state, settings, block);
}

} // namespace zephyrion
