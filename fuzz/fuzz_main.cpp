// One libFuzzer target: TABULON_FUZZ_BODY names its body in FuzzTargets.h. Nothing
// may crash, leak or read outside the input, and the body's checks must hold.

#include "fuzz/FuzzTargets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!TABULON_FUZZ_BODY(bytes))
        __builtin_trap();
    return 0;
}
