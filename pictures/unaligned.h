// Four bytes read or written at any address, in the machine's own order.
// memcpy is what the compilers turn into one plain load or store, with no
// alignment assumed and no aliasing rule broken.
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t loadWord32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void storeWord32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
