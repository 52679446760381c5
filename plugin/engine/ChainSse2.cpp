#include "plugin/engine/Chain.h"
#include "plugin/engine/VectorSse2.h"

namespace zephyrion {

void runChainSse2(ChainState& state, const ChainSettings& settings, const ChainBlock& block) {
    runChain<Sse2>(state, settings, block);
}

} // namespace zephyrion
